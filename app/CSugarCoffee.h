#pragma once

#include <QByteArrayView>

namespace fw {
class ArchiveReader;
class ArchiveWriter;
class ByteWriter;
}
struct SugarDlgData;

// The three sugar times of the document, in tenths of a second: bitter ("AMARGO"), normal
// ("NORMAL") and extra sweet ("EXTRADULCE").
class CSugarCoffee {
public:
    CSugarCoffee() = default;

    void SetTimes(int bitter, int normal, int extraSweet);
    int GetBitter() const { return m_bitter; }
    int GetNormal() const { return m_normal; }
    int GetExtraSweet() const { return m_extraSweet; }

    // The three times into the sugar dialog's record and back after OK; its turns mode is
    // the caller's.
    void CopyToDialog(SugarDlgData& record) const;
    void CopyFromDialog(const SugarDlgData& record);

    // The machines' sugar record: 0xF2, bitter, extra sweet, normal (each its low byte),
    // 0xFF. Result 5, or 0 with nothing appended when it does not fit out's capacity.
    int EncodeSugar(fw::ByteWriter& out) const;
    // Takes the times from a sugar record. Result 4, the position of its closing 0xFF, or 0
    // after reporting a malformed record ("4-", "5-"); the times read before the closing
    // byte was found wanting stay.
    int DecodeSugar(QByteArrayView in);

    // The document file's three times, stored without a class tag: bitter, extra sweet,
    // normal. Loading throws fw::ArchiveError.
    void Serialize(fw::ArchiveWriter& ar) const;
    void Serialize(fw::ArchiveReader& ar);

private:
    int m_bitter = 0;
    int m_normal = 0;
    int m_extraSweet = 0;
};
