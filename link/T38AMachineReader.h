#pragma once

#include "app/T38ADeviceStrings.h"

#include <QByteArray>

#include <array>

class CGrabadorT38A;
class COrmiDoc;
class SetupT38A;

// The read of a T38A-family machine into a reset document: the whole configuration in one
// bulk transfer, then its records taken apart into the set-up tables (container names,
// milligrams per turn, whipping speeds), the temperature, the sugar times and the products.
//
// It is the inverse of the compile step. The container numbering follows set-up row 0 as it
// stands when the read starts: without a product there (the shift) field k names set-up row k
// and carries the values of row k + 1; with one, field k names row k - 1 and carries the
// values of row k. The coffee group's valve goes back to the row the compile step took it
// from, found the same way. The empty products the compile step fills the machine with add
// no row. Input longer than its work area, or records that are not hexadecimal text or
// packed BCD, are refused, never cut: the read stops there as at a malformed row, keeping
// the rows read so far.
class T38AMachineReader {
public:
    // Work areas: one record's text, one product's bytes, one name, one device's fields.
    static constexpr int RecordCapacity = 400;
    static constexpr int ProductCapacity = 180;
    static constexpr int NameCapacity = 52;
    static constexpr int DeviceCapacity = 100;
    static constexpr int ProductFields = 30;
    // Reported with text 1548 for a record, name or device that does not fit its area, or
    // a set-up value or sugar record that cannot be decoded.
    static constexpr int OversizedCode = 7;
    // Reported with text 1548 for a record that is not hexadecimal text (odd length, a
    // character that is no hexadecimal digit) or whose packed BCD has a nibble above 9.
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
    bool readContainerNames();
    void nameContainer(int setupRow, const QByteArray& name, bool named);
    bool readSetupValues(char blockId, void (*store)(SetupT38A&, int, int));
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
    // The numbering the machine was written with: the set-up tables' as the read starts.
    const T38ASlotLayout m_layout;
    const int m_rows;
    QByteArray m_data;
    std::array<quint8, ProductFields + 1> m_flags{};
};
