#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace fw {
class ArchiveReader;
class ArchiveWriter;
class ByteWriter;
}

// The set-up tables of the T38A family: for ten set-up rows the product dosed per container
// turn, the water valve, the whipper, the product and the whipping speed; with two sets of
// names for 20 products and the two group rows (coffee group, hot water). The first set holds
// the default names, the second the names as edited and sent to the machine. Program-wide
// (fw::ProgramWide<SetupT38A>); a new document keeps it.
//
// T38A rows, the type index of a T38A device: 0 the coffee group, 1 the hot water, r >= 2
// the product row of set-up row r - 2. Every index is checked: outside its table a getter
// gives the empty result and a setter changes nothing.
class SetupT38A {
public:
    static constexpr int SetupRowCount = 10;
    static constexpr int ProductNameCount = 20;
    static constexpr int GroupCount = 2;
    static constexpr int GroupRowCount = 2; // T38A rows 0 and 1
    static constexpr int NoProduct = -1;
    static constexpr int BcdDigits = 4;
    static constexpr int HighestWhipSpeed = 100;
    // Four packed-BCD digits take up to 15999: the first digit goes as its nibble.
    static constexpr int HighestMgPerTurn = 15999;
    // A container name as the machine takes it back: the 80 characters of its read.
    static constexpr int MachineNameLength = 80;

    struct SetupRow {
        int mgPerTurn = 0;
        int valveNumber = 0;
        int whipperNumber = 0;
        int productIndex = NoProduct;     // into the product names; -1: none
        int whipSpeed = HighestWhipSpeed; // 0..100
    };

    // The defaults: Spanish default product names whatever the interface language, the
    // group names "GRUPO DE CAFE" and "AGUA CALIENTE", the second set a copy of the first.
    SetupT38A();

    std::optional<SetupRow> GetSetupRow(int setupRow) const;
    bool SetSetupRow(int setupRow, const SetupRow& values);

    // First name set.
    QByteArray GetProductName(int index) const;
    bool SetProductName(int index, const QByteArray& name);
    QByteArray GetGroupName(int group) const;
    bool SetGroupName(int group, const QByteArray& name);
    // Second name set.
    QByteArray GetName2(int index) const;
    bool SetName2(int index, const QByteArray& name);
    QByteArray GetGroupName2(int group) const;
    bool SetGroupName2(int group, const QByteArray& name);

    // Milligrams per turn and whipping speed of a set-up row as 4 packed-BCD digits in 2
    // bytes, most significant first; empty outside the table.
    QByteArray GetMgPerTurnBcd(int setupRow) const;
    QByteArray GetWhipSpeedBcd(int setupRow) const;
    // Product rows of a program family: 6 for families 1 and 5, else 5.
    static int GetRowCount(quint32 family);
    // Whether the T38A row exists in the family: the two group rows and its product rows.
    static bool IsRowOfFamily(int row, quint32 family);
    // The set-up row whose valve the coffee group takes: the one after the first of set-up
    // rows 0..4 without a product, row 1 when each of them has one.
    int GetCoffeeGroupValveRow() const;
    // Whether a machine written now numbers its set-up rows with the shift: set-up row 0
    // has no product.
    bool IsShifted() const;
    // The second-set product name as the machine takes it: its bytes up to a zero byte, at
    // most MachineNameLength of them.
    QByteArray CopyMachineName(int index) const;
    // T38A row names: rows 0 and 1 the group names, r >= 2 product name r - 2.
    QByteArray GetRowName(int row) const;
    QByteArray GetRowName2(int row) const;
    bool SetRowName2(int row, const QByteArray& name);
    // The name a T38A device row of the family shows: the first-set group name for rows 0
    // and 1; for a product row the second-set name of its set-up row's product, or the
    // edited coffee-group name when it has none; empty past the family's rows or for a
    // product index outside -1..19.
    QByteArray GetRowDisplayName(int row, quint32 family) const;
    // The document-name record of the T38A machines: the document's title (its bytes up to a
    // zero byte), a blank and the CRC-32 of the file at path as saved, in upper-case
    // hexadecimal without leading zeros ("0" for an unsaved document or a file that does not
    // open). The title is cut so that the blank and the checksum fit what is left in out.
    static void AppendFileChecksum(fw::ByteWriter& out, const QByteArray& title, const QString& path);

    // --- the end of a T38A-family document file ---
    // Opens the product names in the current layout, as the first pair, before their count.
    static constexpr const char* NamesMarker = "hhhiiijjjX5";
    // Stores the group names of both sets, the marker pair, the count of the leading
    // non-empty product names (at most 20), those names with their second names, then the
    // product index, milligrams per turn, valve, whipper and whipping speed tables.
    void Serialize(fw::ArchiveWriter& ar) const;
    // Loads the tables of either layout; names the file does not carry and whipping speeds
    // an older file lacks keep their values. Throws fw::ArchiveError, possibly after part
    // of the tables has changed: load into a copy.
    void Serialize(fw::ArchiveReader& ar);

private:
    static QByteArray bcd(int value);
    // The pairs of product names of the older layout, which stores no count.
    int OlderLayoutPairCount(fw::ArchiveReader& ar) const;

    std::array<SetupRow, SetupRowCount> m_rows;
    std::array<QByteArray, ProductNameCount> m_productNames;
    std::array<QByteArray, GroupCount> m_groupNames;
    std::array<QByteArray, ProductNameCount> m_productNames2;
    std::array<QByteArray, GroupCount> m_groupNames2;
};
