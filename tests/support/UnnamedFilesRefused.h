#pragma once

// A system that makes no unnamed files, seen from below: while the guard lives, every openat
// of the test program that asks for an unnamed file (O_TMPFILE) fails with the errno it was
// given, as a file system without them or a kernel older than them fails it. Every other open
// goes to the system unchanged. Linked only into the tests of the file writers. One guard at a
// time.
class UnnamedFilesRefused {
public:
    explicit UnnamedFilesRefused(int error);
    ~UnnamedFilesRefused();
    UnnamedFilesRefused(const UnnamedFilesRefused&) = delete;
    UnnamedFilesRefused& operator=(const UnnamedFilesRefused&) = delete;

    // How many opens it refused so far.
    int refused() const { return m_refused; }

    // For the interposed call: -1 with the errno.
    int refuse();

private:
    int m_error;
    int m_refused = 0;
};
