#pragma once

#include <QString>

#include <thread>

// A file that another program keeps appending to while it is read: before the kernel lets
// any read of it go on, a watcher thread makes it Step bytes longer (a hole, so it costs no
// disk). A reader that trusts the size it saw at the open never reaches the end; one that
// counts what it read stops at its limit. The kernel holds each read until the file has grown
// (fanotify permission events), so the test does not hang on timing; those events need
// CAP_SYS_ADMIN, which available() tells. The file grows only while the object lives.
class GrowingFile {
public:
    static constexpr qint64 Step = 1 << 20;

    // Whether this process may watch reads of a file.
    static bool available();

    // Makes an empty file at the path and watches it.
    explicit GrowingFile(const QString& path);
    ~GrowingFile();
    GrowingFile(const GrowingFile&) = delete;
    GrowingFile& operator=(const GrowingFile&) = delete;

    // False when the file could not be made or watched.
    bool growing() const { return m_watcher.joinable(); }

private:
    void watch();
    // Grows the file for every read waiting and lets it go on; false when the kernel refuses.
    bool answer();

    int m_file = -1;  // for writing: the file grows through it
    int m_group = -1; // the fanotify group
    int m_stop = -1;  // an eventfd that ends the watch
    std::thread m_watcher;
};
