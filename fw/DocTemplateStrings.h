#pragma once

#include <QString>

namespace fw {

// The parts of a document template's string, separated by '\n': window title, document base
// name, new-file name, file-dialog filter and its extension, the shell's file type id and its
// name. Missing parts are empty.
struct DocTemplateStrings {
    QString windowTitle;
    QString docName;
    QString fileNewName;
    QString filterName;
    QString filterExt;
    QString regFileTypeId;
    QString regFileTypeName;

    static DocTemplateStrings parse(const QString& templateString);
};

} // namespace fw
