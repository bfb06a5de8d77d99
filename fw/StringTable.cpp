#include "fw/StringTable.h"

#include "fw/InputFile.h"
#include "fw/TextLineReader.h"

#include <QDir>
#include <QFile>

namespace fw {

namespace {

QString unescape(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw.at(i);
        if (ch != QLatin1Char('\\') || i + 1 == raw.size()) {
            out += ch;
            continue;
        }
        const QChar next = raw.at(++i);
        if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += next;
    }
    return out;
}

} // namespace

StringTable::StringTable(Contents contents)
{
    if (contents == Contents::Empty)
        return;
    const QDir builtIn(QStringLiteral(":/strings"));
    for (const QString& name : builtIn.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        QFile file(builtIn.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            merge(file.readAll());
    }
}

QString StringTable::text(const TextKey& key) const { return m_texts.value(key.name()); }

bool StringTable::contains(const TextKey& key) const { return m_texts.contains(key.name()); }

QString StringTable::format(int id, std::initializer_list<FormatArg> args) const
{
    return TextFormat::format(text(id), args);
}

bool StringTable::loadLanguage(const QString& path)
{
    const std::optional<QByteArray> bytes = InputFile::read(path, MaxLanguageFileBytes);
    if (!bytes)
        return false;
    merge(*bytes);
    return true;
}

void StringTable::merge(const QByteArray& tableText)
{
    TextLineReader lines(tableText, TextLineReader::ByteOrderMark::Skip);
    while (const std::optional<QByteArrayView> bytes = lines.next()) {
        const QString line = QString::fromUtf8(*bytes);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        if (const std::optional<TextKey> key = TextKey::parse(QStringView(line).left(tab)))
            m_texts.insert(key->name(), unescape(QStringView(line).mid(tab + 1)));
    }
}

CommandPrompt StringTable::splitPrompt(const QString& entry)
{
    const qsizetype newline = entry.indexOf(QLatin1Char('\n'));
    if (newline < 0)
        return {entry, QString()};
    return {entry.left(newline), entry.mid(newline + 1)};
}

} // namespace fw
