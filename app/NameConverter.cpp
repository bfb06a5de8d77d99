#include "app/NameConverter.h"

#include "app/CharacterTable.h"
#include "fw/Application.h"
#include "fw/CodePage.h"
#include "fw/MessageBoxes.h"

namespace {

std::u16string_view untilZero(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

} // namespace

bool NameConverter::ConvertWithTable(std::u16string_view text, QByteArray& out) const
{
    out.clear();
    CharacterTable table;
    if (!table.load(m_tablePath)) {
        fw::MessageBoxes::box(m_fileErrorText, fw::MessageButtons::Ok, fw::MessageIcon::Warning);
        return false;
    }
    for (const char16_t unit : untilZero(text)) {
        if (unit < 0x80) {
            out += char(unit);
            continue;
        }
        const auto byte = table.byteFor(unit);
        if (!byte) {
            fw::MessageBoxes::information(QString(QChar(unit)), m_caption.left(MaxCaptionLength));
            return false;
        }
        out += *byte;
    }
    return true;
}

bool NameConverter::ConvertWithCodePage(std::u16string_view text, QByteArray& out, quint32 codePage)
{
    out.clear();
    const std::u16string_view name = untilZero(text);
    const auto bytes = fw::CodePage::encode(QString::fromUtf16(name.data(), qsizetype(name.size())), int(codePage));
    // A '?' of the name's own cannot be told from a character the page lacks.
    if (!bytes || bytes->contains('?')) {
        fw::MessageBoxes::box(fw::Application::get().strings().text(CodePageRefusedText));
        return false;
    }
    out = *bytes;
    return true;
}

bool NameConverter::ToWide(const QByteArray& text, quint32 codePage, std::u16string& out)
{
    const QByteArray name(text.constData()); // up to the first zero byte
    if (name.isEmpty() || !fw::CodePage::isSupported(int(codePage)))
        return false;
    const QString wide = fw::CodePage::decode(name, int(codePage));
    out.assign(reinterpret_cast<const char16_t*>(wide.utf16()), std::size_t(wide.size()));
    return true;
}
