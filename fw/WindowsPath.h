#pragma once

#include <QString>

namespace fw {

// Paths written the Windows way, with '\' separators and in any letter case, as the catalogue
// databases and the profile store them, found on this file system.
class WindowsPath {
public:
    // The path with '/' separators. Each part that does not exist as written is replaced by
    // the entry of its folder that equals it without regard to case; from the first part that
    // matches no entry on, the parts stay as written. A relative path stays relative.
    static QString resolve(const QString& path);
};

} // namespace fw
