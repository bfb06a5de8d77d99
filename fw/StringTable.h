#pragma once

#include "fw/TextFormat.h"
#include "fw/TextKey.h"

#include <QHash>
#include <QString>

namespace fw {

// The status-bar prompt and the tooltip of a command, kept as one text "prompt\ntooltip".
struct CommandPrompt {
    QString statusPrompt;
    QString tooltip;
};

// Texts by key (fw::TextKey: a string by its id, a menu item, popup, toolbar, dialog or
// dialog control). The Spanish texts are built in; a language file with the same keys
// replaces the texts it holds, and a key it lacks keeps its Spanish text. Files hold one
// "key<TAB>text" line each, UTF-8 (a byte-order mark at the start is skipped), lines ended by
// CR LF, LF or CR, with the escapes \n, \r, \t and \\; '#' starts a comment line.
class StringTable {
public:
    enum class Contents { BuiltIn, Empty };

    // The built-in Spanish table, or an empty one.
    explicit StringTable(Contents contents = Contents::BuiltIn);

    // A string of the string table.
    QString text(int id) const { return text(TextKey::string(id)); }
    bool contains(int id) const { return contains(TextKey::string(id)); }
    QString format(int id, std::initializer_list<FormatArg> args) const;
    QString text(const TextKey& key) const;
    bool contains(const TextKey& key) const;
    // Every key with its text, keys as the files write them.
    const QHash<QString, QString>& entries() const { return m_texts; }

    // The largest language file read: every text of the program fits many times over.
    static constexpr qint64 MaxLanguageFileBytes = 1024 * 1024;

    // Replaces the texts a language file holds; false (table unchanged) when it cannot be
    // read, is no regular file or is larger than MaxLanguageFileBytes.
    bool loadLanguage(const QString& path);
    // Adds or replaces texts from the bytes of a file in the file format.
    void merge(const QByteArray& tableText);

    static CommandPrompt splitPrompt(const QString& entry);

private:
    QHash<QString, QString> m_texts;
};

} // namespace fw
