#include "app/InternalModeProbe.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/Watchdog.h"

#include <QFile>
#include <QTemporaryDir>

#include <condition_variable>
#include <memory>
#include <mutex>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// An open that hangs, as one on an unreachable share, until the test lets it go.
class HangingOpen {
public:
    ~HangingOpen() { release(); }

    InternalModeProbe::Opener opener()
    {
        return [gate = m_gate](const QString&) {
            std::unique_lock lock(gate->mutex);
            gate->released.wait(lock, [&gate] { return gate->open; });
            return true;
        };
    }
    void release()
    {
        const std::lock_guard lock(m_gate->mutex);
        m_gate->open = true;
        m_gate->released.notify_all();
    }

private:
    struct Gate {
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
    };
    std::shared_ptr<Gate> m_gate = std::make_shared<Gate>();
};

} // namespace

TEST(InternalModeProbeTest, TheModeIsOnOnlyWhenTheFileOpens)
{
    QTemporaryDir dir;
    const QString present = dir.filePath("interno.exe");
    QFile file(present);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_FALSE(InternalModeProbe(QString()).Run()) << "no path";
    EXPECT_FALSE(InternalModeProbe(dir.filePath("absent.exe")).Run()) << "absent file";
    EXPECT_TRUE(InternalModeProbe(present).Run()) << "present file";
    EXPECT_FALSE(InternalModeProbe(dir.path() + "/sin-carpeta/interno.exe").Run()) << "absent folder";
}

TEST(InternalModeProbeTest, WhatIsNoRegularFileIsNoInternalFileAndIsNeverWaitedFor)
{
    QTemporaryDir dir;
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::NotRegularFiles()) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath(QString("interno%1.exe").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        // A limit far beyond the watchdog's: only an open that does not wait ends in time.
        const Watchdog bound(what);
        EXPECT_FALSE(InternalModeProbe(path, std::chrono::minutes(10)).Run()) << what;
    }
}

TEST(InternalModeProbeTest, AProbeThatNeverAnswersLeavesTheModeOffAfterTheLimit)
{
    HangingOpen hanging;
    EXPECT_FALSE(InternalModeProbe("//servidor/interno.exe", 20ms, hanging.opener()).Run());
}
