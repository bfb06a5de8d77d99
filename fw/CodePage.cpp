#include "fw/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace fw {

namespace {

QByteArray codecName(int codePage) { return "windows-" + QByteArray::number(codePage); }

bool knownPage(int codePage)
{
    switch (codePage) {
    case 1250:
    case 1251:
    case 1252:
    case 1255:
    case 1256:
        return true;
    default:
        return false;
    }
}

// Each character on its own, checked by a round trip: the encoder's own substitute character
// would otherwise hide a character the page lacks, and a real '?' must stay acceptable.
template <class Sink>
void encodeEach(const QString& text, int codePage, Sink sink)
{
    const QByteArray name = codecName(codePage);
    // One converter pair serves every character until one fails (making a converter is far
    // dearer than using it); a failed converter is replaced, as it keeps its error.
    std::optional<QStringEncoder> encoder;
    std::optional<QStringDecoder> decoder;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        i += length - 1;
        // Half a pair has no byte, and the encoder would wait for its other half.
        if (length == 1 && character.at(0).isSurrogate()) {
            sink(std::nullopt);
            continue;
        }
        if (!encoder || encoder->hasError())
            encoder.emplace(name.constData());
        if (!decoder || decoder->hasError())
            decoder.emplace(name.constData());
        const QByteArray bytes = encoder->encode(character);
        const bool exact = !encoder->hasError() && bytes.size() == 1 && QString(decoder->decode(bytes)) == character;
        sink(exact ? std::optional<char>(bytes.at(0)) : std::nullopt);
    }
}

} // namespace

bool CodePage::isSupported(int codePage)
{
    return knownPage(codePage) && QStringDecoder(codecName(codePage).constData()).isValid();
}

QString CodePage::decode(const QByteArray& bytes, int codePage)
{
    if (!knownPage(codePage))
        codePage = Ansi;
    QStringDecoder decoder(codecName(codePage).constData());
    return decoder.decode(bytes);
}

std::optional<QByteArray> CodePage::encode(const QString& text, int codePage)
{
    if (!knownPage(codePage))
        return std::nullopt;
    QByteArray out;
    out.reserve(text.size());
    bool complete = true;
    encodeEach(text, codePage, [&](std::optional<char> byte) {
        complete = complete && byte.has_value();
        if (byte)
            out += *byte;
    });
    if (!complete)
        return std::nullopt;
    return out;
}

QByteArray CodePage::encodeLossy(const QString& text, int codePage)
{
    if (!knownPage(codePage))
        codePage = Ansi;
    QByteArray out;
    out.reserve(text.size());
    encodeEach(text, codePage, [&](std::optional<char> byte) { out += byte.value_or('?'); });
    return out;
}

} // namespace fw
