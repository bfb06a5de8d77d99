#include "fw/ReplacementFile.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/SyncProbe.h"
#include "tests/support/UnnamedFilesRefused.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Why the folder's file system takes no unnamed files; empty when it does.
QString noUnnamedFilesIn(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return QString();
}

} // namespace

TEST(ReplacementFileTest, AWriteKilledBeforeItsCommitLeavesNothingBesideTheTarget)
{
    if (const QString why = noUnnamedFilesIn(QDir::tempPath()); !why.isEmpty())
        GTEST_SKIP() << "the temporary folder's file system makes no unnamed files: " << why.toStdString();
    for (const bool oldFile : {true, false}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("dosis.caf");
        if (oldFile) {
            ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
        }
        const QString result = ChildProcess::run([&] {
            fw::ReplacementFile file(path);
            if (!file.open())
                return "not opened: " + file.errorString();
            if (::write(file.handle(), "nuevo", 5) != 5)
                return QStringLiteral("not written");
            ::raise(SIGKILL);
            return QStringLiteral("not killed");
        });
        EXPECT_EQ(result, "(the child was killed by signal 9)") << oldFile;
        EXPECT_EQ(namesIn(dir.path()), oldFile ? QStringList{"dosis.caf"} : QStringList()) << oldFile;
        if (oldFile) {
            EXPECT_EQ(contents(path), "viejo");
        }
    }
}

TEST(ReplacementFileTest, WhereTheSystemMakesNoUnnamedFilesTheNewFileIsNamedFromTheStart)
{
    struct Case {
        const char* what;
        int error;
        bool written;
    };
    const Case cases[] = {
        {"a file system without them", EOPNOTSUPP, true},
        {"a kernel older than them, which takes the folder's flag alone", EISDIR, true},
        {"a kernel that takes their flag for an invalid one", EINVAL, true},
        {"a kernel that finds no such file", ENOENT, true},
        {"a full disk: a named file finds no room either", ENOSPC, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("dosis.caf");
        ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
        fw::ReplacementFile file(path);
        UnnamedFilesRefused refused(c.error);
        SyncProbe probe;
        const bool written = file.open() && ::write(file.handle(), "nuevo", 5) == 5 && file.commit();
        EXPECT_EQ(written, c.written) << c.what;
        EXPECT_EQ(refused.refused(), 1) << c.what;
        if (c.written) {
            // Synced under its name, before the rename.
            const QList<SyncProbe::Sync> syncs = probe.syncsUnder(dir.path());
            ASSERT_FALSE(syncs.isEmpty()) << c.what;
            EXPECT_TRUE(QFileInfo(syncs[0].path).fileName().startsWith("dosis.caf.")) << c.what << ": " << probe.describe().toStdString();
            EXPECT_EQ(contents(path), "nuevo") << c.what;
        } else {
            EXPECT_EQ(file.errorString(), qt_error_string(c.error) + " (" + QDir::toNativeSeparators(QDir(dir.path()).canonicalPath()) + ")") << c.what;
            EXPECT_EQ(contents(path), "viejo") << c.what;
        }
        EXPECT_EQ(namesIn(dir.path()), QStringList{"dosis.caf"}) << c.what;
    }
}

TEST(ReplacementFileTest, WithoutProcTheNewFileIsNamedFromTheStart)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may hide /proc, in a mount namespace of its own";
    QTemporaryDir dir;
    const QString path = dir.filePath("dosis.caf");
    ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
    const QString result = ChildProcess::run([&] {
        // The child's own view of the mounts, where an empty folder covers /proc.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
            return QStringLiteral("(no /proc hidden: %1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (QFileInfo::exists("/proc/self/fd"))
            return QStringLiteral("(/proc still there)");
        fw::ReplacementFile file(path);
        const bool written = file.open() && ::write(file.handle(), "nuevo", 5) == 5 && file.commit();
        return written ? QStringLiteral("written") : "not written: " + file.errorString();
    });
    if (result.startsWith("(no /proc hidden"))
        GTEST_SKIP() << result.toStdString();
    EXPECT_EQ(result, "written");
    EXPECT_EQ(contents(path), "nuevo");
    EXPECT_EQ(namesIn(dir.path()), QStringList{"dosis.caf"});
}
