#pragma once

#include <QList>

#include <array>
#include <optional>

// How the dispensers of a model are wired: six numbers per dispenser, row r holding
// dispenser number r + 1. Column 1 is the dispenser's product type, column 2 the sub-code of
// the water valve it feeds, column 4 the sub-code of its whipper; all six go to the machine.
class DispenserTable {
public:
    static constexpr int ColumnCount = 6;
    static constexpr int ProductTypeColumn = 1;
    static constexpr int ValveColumn = 2;
    static constexpr int WhipperColumn = 4;
    using Row = std::array<int, ColumnCount>;

    // No rows: the table of a catalogue not yet loaded.
    DispenserTable() = default;
    // rowCount rows of zeros.
    explicit DispenserTable(int rowCount);

    int rowCount() const { return int(m_rows.size()); }
    // The row, or nothing outside the table.
    std::optional<Row> row(int rowIndex) const;
    std::optional<int> value(int rowIndex, int column) const;
    // False (table unchanged) outside the table.
    bool setRow(int rowIndex, const Row& values);

private:
    QList<Row> m_rows;
};
