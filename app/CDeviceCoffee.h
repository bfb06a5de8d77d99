#pragma once

#include "app/WideName.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace fw {
class LoEnglishCanvas;
class ArchiveReader;
class ArchiveWriter;
class ByteWriter;
}
struct DispositivoDlgData;
struct DispositivoT38ADlgData;
struct ProductDlgData;

// One configuration row: a product header (product and selection number 1..24, its name and
// flags) or a device the product drives (product and selection number 0; type, colour and
// times in tenths of a second). A device belongs to the nearest header before it in display
// order. T38A devices are given by their set-up row, container turns and water pulses,
// from which their times are computed.
class CDeviceCoffee {
public:
    // A device of type 0, colour 0, times 0, sugar, stirrer and cup flags set and the
    // profile's product-name code page.
    CDeviceCoffee();

    // Header or device: the byte code and the drawing go by the product number, the file by
    // the selection number; the row's operations set both together.
    bool IsProductHeader() const { return m_productNumber != 0; }

    // Drawing position and width, written by the view before each drawing.
    int GetX() const { return m_x; }
    void SetX(int x) { m_x = x; }
    int GetY() const { return m_y; }
    void SetY(int y) { m_y = y; }
    int GetWidth() const { return m_width; }
    void SetWidth(int width) { m_width = width; }

    // Classic devices: index into the catalogue's device types; T38A devices: the T38A row.
    int GetTypeIndex() const { return m_typeIndex; }
    void SetTypeIndex(int typeIndex) { m_typeIndex = typeIndex; }
    const QByteArray& GetTypeName() const { return m_typeName; }
    void SetTypeName(const QByteArray& name) { m_typeName = name; }
    // 0..8, index into the drawing's colour table.
    int GetColour() const { return m_colour; }
    void SetColour(int colour) { m_colour = colour; }
    int GetStart() const { return m_start; }
    void SetStart(int start) { m_start = start; }
    // A flow-meter water valve keeps here its start plus its pulses.
    int GetEnd() const { return m_end; }
    void SetEnd(int end) { m_end = end; }
    double GetEstimatedEndByTurns() const { return m_estimatedEndByTurns; }
    double GetEstimatedEndByPulses() const { return m_estimatedEndByPulses; }

    // Product headers: the name as the machine shows it, its UTF-16 form and its index among
    // the catalogue's product names (0 when the name is not there).
    const QByteArray& GetName() const { return m_name; }
    void SetName(const QByteArray& name) { m_name = name; }
    const WideName& GetWideName() const { return m_wideName; }
    void SetWideName(const WideName& name) { m_wideName = name; }
    int GetNameIndex() const { return m_nameIndex; }
    void SetNameIndex(int index) { m_nameIndex = index; }
    int GetProductNumber() const { return m_productNumber; }
    void SetProductNumber(int number) { m_productNumber = number; }
    int GetSelectionNumber() const { return m_selectionNumber; }
    void SetSelectionNumber(int number) { m_selectionNumber = number; }

    quint8 GetSugarFlag() const { return m_sugarFlag; }
    void SetSugarFlag(quint8 flag) { m_sugarFlag = flag; }
    quint8 GetStirrerFlag() const { return m_stirrerFlag; }
    void SetStirrerFlag(quint8 flag) { m_stirrerFlag = flag; }
    quint8 GetCupFlag() const { return m_cupFlag; }
    void SetCupFlag(quint8 flag) { m_cupFlag = flag; }
    // Work mark of the document's device regrouping.
    quint8 GetSortMark() const { return m_sortMark; }
    void SetSortMark(quint8 mark) { m_sortMark = mark; }
    // 1: the name was made with the Windows code page, 0: through the character table.
    quint8 GetCodePageFlag() const { return m_codePageFlag; }
    void SetCodePageFlag(quint8 flag) { m_codePageFlag = flag; }

    // T38A devices: flow-meter pulses of the hot water and turns of the product container.
    int GetWaterPulses() const { return m_waterPulses; }
    void SetWaterPulses(int pulses) { m_waterPulses = pulses; }
    int GetContainerTurns() const { return m_containerTurns; }
    void SetContainerTurns(int turns) { m_containerTurns = turns; }
    quint32 GetCodePage() const { return m_codePage; }
    void SetCodePage(quint32 codePage) { m_codePage = codePage; }

    // T38A device times after a device that ended at previousEnd (0 right after the header):
    // start half a second later, end at the larger of the turns and pulses estimates.
    // Result: the new end.
    int ComputeT38ATimes(int previousEnd);
    // The end in tenths of a second; a flow-meter water valve's pulses are converted.
    int GetEndTime() const;
    // The stored end of a flow-meter water valve, 0 for every other row.
    int GetFlowMeterEnd() const;
    // What the device dispenses over its active time, from the program-wide catalogue.
    QString GetEstimateText() const;

    // --- drawing ---
    // Draws the row as one line of the time chart at its x and y: a header as its selection
    // text and a seconds scale, a device as its name, a time axis and its bar. A width above
    // 0 becomes the scale's room (width - x - 30, stored back); on a printer it is the
    // paper's width, where the scale and the bars stop. Nothing else in the row changes.
    void DrawRow(fw::LoEnglishCanvas& dc);

    // --- the machines' byte code ---
    // Each encoder appends the whole row to out or, when it does not fit out's capacity or
    // cannot be encoded, nothing. Result: the bytes appended, 0 for a row not appended.
    // Classic machines. A header: 0xF0, number, 0xF7 and at most 17 name bytes. A device:
    // its catalogue code and sub-code, 0x80 and the start, 0x81 and the end, then the
    // start's continuation pairs (0x82) and the end's (0x83). A device whose type is not in
    // the catalogue cannot be encoded.
    int EncodeRowStandard(fw::ByteWriter& out) const;
    // T38A family. A header: 0xF0, number, 0xF9, the name's length and at most 51 name bytes
    // (what the machine's name area keeps; a longer name goes cut). A device: its dispenser or
    // coffee-group field, its water field and its whipper field, with the slots of its set-up
    // row; shift is set when set-up row 0 has no product. A device whose set-up row is outside
    // the tables cannot be encoded. A coffee-group row's container turns become 0, here and in
    // the row.
    int EncodeRowT38A(fw::ByteWriter& out, bool shift);
    // One row of a classic machine's record, from in's first byte. Result: the bytes taken,
    // or 0 after reporting a malformed row ("1-".."4-"); running out of input is malformed.
    // A header without its name marker keeps 18 blanks as name and its name index. The
    // reader sets the selection number of a header afterwards.
    int DecodeRow(QByteArrayView in);

    // --- the document file ---
    static constexpr const char* ArchiveClassName = "CDeviceCoffee";
    static constexpr quint16 ArchiveSchema = 1;
    // The least a stored row can take: the oldest layout with empty texts.
    static constexpr int MinStoredBodyBytes = 35;
    // Stores the row in the current layout: a device with an empty type name, a header
    // with an empty name when its name index stands for it.
    void Serialize(fw::ArchiveWriter& ar) const;
    // Loads a row of any layout into this new row. legacyRows holds, across the rows of one
    // file, whether the file turned out to be of the oldest layout. Names and type names
    // come from the program-wide catalogue. Throws fw::ArchiveError.
    void Serialize(fw::ArchiveReader& ar, bool& legacyRows);

    // --- taking over what an edit dialog's record holds ---
    // The product header the record describes; the device fields are cleared, the water
    // pulses and container turns stay.
    void FillFromProductDlg(const ProductDlgData& record);
    // The classic device the record describes, named from the program-wide catalogue. The
    // product fields are cleared; the wide name, name index, stirrer, cup and code-page
    // flags, pulses and turns stay. A type the catalogue does not hold is refused: false,
    // the row unchanged.
    [[nodiscard]] bool FillFromDeviceDlg(const DispositivoDlgData& record);
    // The T38A device the record describes, named from the program-wide set-up tables (and
    // in UTF-16 too when its code page is not 1250). Times are left for the document to
    // chain. A type that is not a T38A row of the record's family is refused: false, the
    // row unchanged.
    [[nodiscard]] bool FillFromDeviceT38ADlg(const DispositivoT38ADlgData& record);

private:
    bool IsFlowMeterValve() const;
    // The fields of a T38A device; false when a set-up row they need is outside the tables.
    void EncodeDispenserT38A(fw::ByteWriter& out, int slot);
    bool EncodeValveT38A(fw::ByteWriter& out, int slot) const;
    bool EncodeWhipperT38A(fw::ByteWriter& out, int slot) const;
    // A device has no name, numbers or sugar of its own.
    void clearProductFields();

    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_typeIndex = 0;
    QByteArray m_typeName;
    int m_colour = 0;
    int m_start = 0;
    int m_end = 0;
    double m_estimatedEndByTurns = 0.0;
    double m_estimatedEndByPulses = 0.0;
    QByteArray m_name;
    WideName m_wideName;
    int m_nameIndex = 0;
    int m_productNumber = 0;
    int m_selectionNumber = 0;
    quint8 m_sugarFlag = 1;
    quint8 m_stirrerFlag = 1;
    quint8 m_cupFlag = 1;
    quint8 m_sortMark = 0;
    quint8 m_codePageFlag = 0;
    int m_waterPulses = 0;
    int m_containerTurns = 0;
    quint32 m_codePage;
};
