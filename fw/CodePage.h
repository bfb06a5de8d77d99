#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace fw {

// Windows code pages for 8-bit text. Bytes that files and machines exchange stay bytes;
// they are decoded only to show them and encoded only from what the user typed.
class CodePage {
public:
    static constexpr int Ansi = 1252; // the system ANSI code page the files were written in

    static bool isSupported(int codePage);
    // Bytes to text; a byte the code page leaves undefined becomes U+FFFD.
    static QString decode(const QByteArray& bytes, int codePage);
    // Text to bytes, refused (nullopt) when any character has no byte in the code page.
    static std::optional<QByteArray> encode(const QString& text, int codePage);
    // Text to bytes, a character without a byte becoming '?'.
    static QByteArray encodeLossy(const QString& text, int codePage);
};

} // namespace fw
