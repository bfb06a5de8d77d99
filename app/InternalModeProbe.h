#pragma once

#include <QString>

#include <chrono>
#include <functional>

// Whether this copy runs inside the maker's network: the internal file opens for reading.
// The file lies on a network share, where an open can hang for a long time, so it is opened
// on a worker thread and start-up waits for it at most a limit; no answer by then counts as
// no internal file.
class InternalModeProbe {
public:
    // True when the file is a regular file that opens for reading (nothing is read).
    using Opener = std::function<bool(const QString& path)>;

    static constexpr std::chrono::milliseconds DefaultLimit{1000};

    // An empty path probes nothing.
    explicit InternalModeProbe(QString path, std::chrono::milliseconds limit = DefaultLimit,
                               Opener opener = openForReading);

    bool Run() const;

    static bool openForReading(const QString& path);

private:
    QString m_path;
    std::chrono::milliseconds m_limit;
    Opener m_opener;
};
