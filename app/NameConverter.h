#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

// Turns the UTF-16 product name the user typed into the 8-bit name a machine shows: through
// the classic machines' character table, or with the Windows code page of the T38A family;
// and an 8-bit name back into UTF-16 for display. Each input ends at its first zero.
class NameConverter {
public:
    // String-table entry of the refusal of a name the code page cannot hold.
    static constexpr int CodePageRefusedText = 1134;
    static constexpr int MaxCaptionLength = 190;

    NameConverter() = default;

    void SetCaption(const QString& caption) { m_caption = caption; }
    void SetFileErrorText(const QString& text) { m_fileErrorText = text; }
    void SetTablePath(const QString& path) { m_tablePath = path; }
    const QString& GetCaption() const { return m_caption; }
    const QString& GetFileErrorText() const { return m_fileErrorText; }
    const QString& GetTablePath() const { return m_tablePath; }

    // Through the character table file: units below 0x80 stand for themselves, every other
    // unit needs a table entry. A table that cannot be opened is reported with the file
    // error text (empty output); a unit without a usable entry is shown in a box captioned
    // with the caption (the output keeps what was converted before it). True when every
    // unit converted.
    bool ConvertWithTable(std::u16string_view text, QByteArray& out) const;
    // With a Windows code page. A character the page lacks, and a question mark of the
    // name's own, is refused with text 1134 and an empty output.
    static bool ConvertWithCodePage(std::u16string_view text, QByteArray& out, quint32 codePage);
    // The 8-bit text up to its first zero byte as UTF-16; false for an empty text or a code
    // page that cannot be used.
    static bool ToWide(const QByteArray& text, quint32 codePage, std::u16string& out);

private:
    QString m_caption;
    QString m_fileErrorText;
    QString m_tablePath;
};
