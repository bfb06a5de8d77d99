#pragma once

#include "db/SortSequence.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// One column line of a layout file: header text, width in pixels, displayed position.
struct GridLayoutColumn {
    QString header;
    int width = 0;
    int order = 0;
    bool operator==(const GridLayoutColumn&) const = default;
};

// What a query grid keeps in its layout file.
struct GridLayout {
    QString query;
    SortSequence sort;
    QList<GridLayoutColumn> columns; // in column-number order
};

// The query grid's layout file: Windows-1252 text with CR LF line ends (LF or CR alone is
// read too):
//   Query viewer setup file V 1.0
//   <query, line ends as "@">
//   Ordenar <slot>: <column>          ten lines, slots 0..9
//   <header># -> Width:<w> Order: <p> one per column, by column number
//   END
class GridLayoutFile {
public:
    static QString DontSaveName() { return QStringLiteral("DONTSAVE"); }
    static QByteArray HeaderLine() { return QByteArrayLiteral("Query viewer setup file V 1.0"); }
    // The largest layout file read: a query and a hundred column lines fit many times over.
    static constexpr qint64 MaxBytes = 1024 * 1024;

    // What a read gives the grid: the slots whose lines matched with -1 or a column of the
    // grid (the tenth slot never takes a column, it ends the sequence), and the column lines
    // that matched whole with a width >= 0 and a position inside the grid.
    struct Contents {
        std::array<std::optional<int>, SortSequence::Slots> sort;
        QList<GridLayoutColumn> columns;
    };

    // The file's path: the folder value with the name glued on ("" = current folder; a value
    // without a final separator is glued to the name). The name is the layout name, else
    // "SETUP%03d" of the control id. Empty for "DONTSAVE" and when there is no name.
    static QString Path(const QString& folderValue, const QString& layoutName, int controlId);

    static QByteArray Write(const GridLayout& layout);
    static Contents Read(const QByteArray& bytes, int columnCount);

    // Written atomically; false when it could not be (the old file then stays as it was).
    static bool Save(const QString& path, const GridLayout& layout);
    // None when the file cannot be read, is no regular file or is larger than MaxBytes.
    static std::optional<QByteArray> Load(const QString& path);

private:
    static std::optional<GridLayoutColumn> ReadColumnLine(const QByteArray& line);
};
