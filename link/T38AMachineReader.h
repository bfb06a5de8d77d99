#pragma once

#include "app/T38ADeviceStrings.h"

#include <QByteArray>

#include <array>
#include <optional>

class CGrabadorT38A;
class COrmiDoc;
class SetupT38A;

// The read of a T38A-family machine into a reset document: the whole configuration in one
// bulk transfer, then its records taken apart into the set-up tables (container names,
// milligrams per turn, whipping speeds), the temperature, the sugar times and the products.
//
// It is the inverse of the compile step. The container numbering is the one the machine was
// written with: with the shift (set-up row 0 without a product) field k names set-up row k and
// carries the values of row k + 1; without it, field k names row k - 1 and carries the values
// of row k. A container, milligrams or speed field that only one numbering writes tells which;
// only where none does, or fields of both are there, set-up row 0 as the read finds it
// decides. The tables then carry that numbering: with the shift set-up row 0 loses its
// product, without it the row keeps or takes one (an unnamed container when no name came).
// The coffee group's valve goes back to the row the compile step took it from, found the same
// way from the products the rows hold after the names are read. The empty products the
// compile step fills the machine with add no row. Set-up values and the temperature are taken
// whatever their length, as packed BCD of 1 to 5 bytes; names longer than their area are cut
// to it. Records and devices longer than their work area, records that are not hexadecimal
// text, values that are not packed BCD and set-up values outside the tables' ranges are
// refused: the read stops there as at a malformed row, keeping the rows read so far.
class T38AMachineReader {
public:
    // Work areas: one record's text, one product's bytes, one name, one device's fields.
    static constexpr int RecordCapacity = 400;
    static constexpr int ProductCapacity = 180;
    static constexpr int NameCapacity = 52;
    static constexpr int DeviceCapacity = 100;
    static constexpr int ProductFields = 30;
    // Reported with text 1548 for a record or device that does not fit its area, or a sugar
    // record too short to decode.
    static constexpr int OversizedCode = 7;
    // Reported with text 1548 for a record that is not hexadecimal text (odd length, a
    // character that is no hexadecimal digit), or a value that is not packed BCD of 1 to 5
    // bytes (a nibble above 9 but the leading digit's) or does not fit its field: a whipping
    // speed above 100, milligrams above 15999, a temperature beyond what the document keeps.
    static constexpr int MalformedCode = 8;
    static constexpr int FinishedText = 20407;

    T38AMachineReader(COrmiDoc& document, CGrabadorT38A& recorder);

    // False when the bulk read failed (the recorder has reported it; the document stays
    // empty). Otherwise what Take gives.
    bool Run();
    // Takes the records of configuration data as the bulk transfer gives them. Result:
    // whether every record was taken (the final text and progress 100 are shown then).
    bool Take(const QByteArray& data);

private:
    enum class Found { Absent, Present, Refused };

    // The text of a record; a record longer than its area is reported and refused.
    Found record(char blockId, int field, QByteArray& text);
    bool holds(char blockId, int field) const;
    // Whether the records were written with the shift, where they tell it.
    std::optional<bool> writtenShift() const;
    bool readContainerNames();
    // Set-up row 0 as the numbering the machine was written with has it, and the row of the
    // coffee group's valve.
    void settleLayout();
    void nameContainer(int setupRow, const QByteArray& name, bool named);
    bool readSetupValues(char blockId, quint32 highest, void (*store)(SetupT38A&, int, int));
    bool readTemperatureAndSugar();
    bool readFlags();
    bool readProducts();
    bool readProduct(int field, const QByteArray& text);
    bool takeName(QByteArray& bytes, QByteArray& name);
    bool readDevices(QByteArray& bytes, int count);
    bool refuse(QByteArrayView input, int code = OversizedCode);
    // The set-up row that container field k stands for; -1 for none.
    int containerRow(int field) const;
    int valueRow(int field) const;

    COrmiDoc& m_document;
    CGrabadorT38A& m_recorder;
    // The numbering the machine was written with, settled by Take before any record is placed.
    T38ASlotLayout m_layout;
    const int m_rows;
    QByteArray m_data;
    std::array<quint8, ProductFields + 1> m_flags{};
};
