#pragma once

#include "app/COrmiDoc.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The document's .caf file: what File Open, the recent-file list and the command line load,
// and what File Save and Save As write.
class DocumentFile {
public:
    // "Formato de archivo inesperado."
    static constexpr int UnexpectedFormatText = 61824;
    // "No se puede abrir el archivo %s."
    static constexpr int CannotOpenText = 61825;
    // "No se puede guardar el archivo %s."
    static constexpr int CannotSaveText = 61826;
    // The largest file taken for a document: far above any machine's rows, and a bound on
    // what a wrong file can make the program read.
    static constexpr qint64 MaxBytes = 16 * 1024 * 1024;

    // The bytes of the document's file.
    static QByteArray Store(const COrmiDoc& doc);
    // Loads a file's bytes into the document, not modified. False, without a message, when
    // they are no document file: the document is then new and the T38A set-up tables are
    // as they were.
    static bool Load(COrmiDoc& doc, QByteArrayView bytes,
                     const COrmiDoc::CatalogueReload& reloadCatalogue = COrmiDoc::ReloadCatalogue);
    // Opens a document file; the document takes its path. A file that cannot be read (also
    // anything but a regular file, or a file larger than MaxBytes) is reported and leaves the
    // document as it was; a file of unexpected format is reported and leaves a new, untitled
    // document.
    static bool Open(COrmiDoc& doc, const QString& path,
                     const COrmiDoc::CatalogueReload& reloadCatalogue = COrmiDoc::ReloadCatalogue);
    // Writes the document to the path atomically: a failed save (also onto anything but a
    // regular file, or onto a file the user may not write) is reported and leaves the file
    // that was there untouched. A saved document takes the path and is not modified.
    static bool Save(COrmiDoc& doc, const QString& path);
};
