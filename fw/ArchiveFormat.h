#pragma once

#include <QtGlobal>

// The tags and length escapes of the framework's archive format, shared by its reader and
// writer.
namespace fw::ArchiveFormat {

inline constexpr quint16 NullTag = 0;
inline constexpr quint16 NewClassTag = 0xFFFF;
inline constexpr quint16 ClassTagBit = 0x8000;
inline constexpr quint16 BigObjectTag = 0x7FFF;
inline constexpr quint32 BigClassTagBit = 0x80000000u;

inline constexpr quint8 ByteLengthEscape = 0xFF;
inline constexpr quint16 WideStringMark = 0xFFFE;
inline constexpr quint16 WordLengthEscape = 0xFFFF;

} // namespace fw::ArchiveFormat
