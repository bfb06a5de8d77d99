#pragma once

#include "fw/TextFormat.h"

#include <QHash>
#include <QString>

namespace fw {

// The status-bar prompt and the tooltip of a command, kept as one text "prompt\ntooltip".
struct CommandPrompt {
    QString statusPrompt;
    QString tooltip;
};

// Texts by resource id. The Spanish texts are built in; a language file with the same ids
// replaces the texts it holds. Files hold one "id<TAB>text" line each, UTF-8, with the
// escapes \n, \t and \\.
class StringTable {
public:
    // The built-in Spanish table.
    StringTable();

    QString text(int id) const;
    bool contains(int id) const;
    QString format(int id, std::initializer_list<FormatArg> args) const;

    // Replaces the texts a language file holds; false (table unchanged) when it cannot be read.
    bool loadLanguage(const QString& path);
    // Adds or replaces texts from table text in the file format.
    void merge(const QString& tableText);

    static CommandPrompt splitPrompt(const QString& entry);

private:
    QHash<int, QString> m_texts;
};

} // namespace fw
