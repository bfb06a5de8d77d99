#include "fw/AtomicFile.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/CapabilityDenied.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/FileOwners.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LinkedTargets.h"
#include "tests/support/ModeProbe.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ProtectedTargets.h"
#include "tests/support/SyncProbe.h"
#include "tests/support/UnnamedFilesRefused.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The two ways the new file is made: unnamed until the commit, or, where the system makes no
// unnamed files, named from the start.
struct Making {
    const char* what;
    bool unnamedFiles;
};
constexpr Making Makings[] = {{"unnamed until the commit", true}, {"named from the start", false}};

} // namespace

TEST(AtomicFileTest, WritesANewFileAndReplacesAnOldOneWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dosis.caf");
    ASSERT_TRUE(fw::AtomicFile::write(path, "primero, el más largo"));
    EXPECT_EQ(contents(path), "primero, el más largo");
    ASSERT_TRUE(fw::AtomicFile::write(path, "corto"));
    EXPECT_EQ(contents(path), "corto");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"dosis.caf"});
}

TEST(AtomicFileTest, AWriteThroughALinkReplacesOrMakesTheFileItNames)
{
    for (const bool targetThere : {true, false}) {
        QTemporaryDir dir;
        const QString target = dir.filePath("real.caf");
        const QString link = dir.filePath("enlace.caf");
        if (targetThere) {
            ASSERT_TRUE(DamagedFiles::MakeFile(target, "viejo"));
        }
        ASSERT_TRUE(QFile::link(target, link));
        ASSERT_TRUE(fw::AtomicFile::write(link, "nuevo")) << targetThere;
        EXPECT_EQ(contents(target), "nuevo") << targetThere;
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << targetThere;
    }
}

TEST(AtomicFileTest, AWriteReplacesTheFileThatOpeningTheNameGivesWhateverLinksLeadThere)
{
    for (const LinkedTargets::Case& c : LinkedTargets::cases()) {
        QTemporaryDir dir;
        ASSERT_TRUE(LinkedTargets::make(dir.path(), c, "viejo")) << c.what;
        const QString others = LinkedTargets::others(dir.path(), c);
        EXPECT_TRUE(fw::AtomicFile::write(dir.path() + "/" + c.name, "nuevo")) << c.what;
        EXPECT_EQ(contents(dir.filePath(c.opened)), "nuevo") << c.what;
        EXPECT_EQ(LinkedTargets::others(dir.path(), c), others) << c.what;
    }
}

TEST(AtomicFileTest, LinksThatLoopOrChainFurtherThanTheSystemFollowsAreRefused)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath("carpeta"));
    // As many links in a row as the system follows when it opens a name, and one more.
    ASSERT_TRUE(DamagedFiles::MakeFile(root + "/fin.caf", "viejo"));
    ASSERT_TRUE(QFile::link("fin.caf", root + "/enlace1"));
    for (int i = 2; i <= 41; ++i)
        ASSERT_TRUE(QFile::link(QString("enlace%1").arg(i - 1), root + QString("/enlace%1").arg(i)));
    ASSERT_TRUE(QFile::link("bucle-b", root + "/bucle-a"));
    ASSERT_TRUE(QFile::link("bucle-a", root + "/bucle-b"));
    ASSERT_TRUE(QFile::link("../bucle-c/x", root + "/carpeta/bucle-c"));
    ASSERT_TRUE(QFile::link("carpeta/bucle-c", root + "/bucle-c"));
    ASSERT_TRUE(QFile::link("carpeta", root + "/a-carpeta"));
    struct Case {
        const char* name;
        bool written;
    };
    const Case cases[] = {
        {"enlace40", true},
        {"enlace41", false},
        {"bucle-a", false},
        {"bucle-c", false},          // the loop is in a folder the last link names
        {"bucle-a/x.caf", false},    // and in the name's own folder
        {"a-carpeta", false},
        {"a-carpeta/", false},
        {"a-carpeta/..", false},
    };
    for (const Case& c : cases) {
        const QDir before(root);
        const QStringList names = before.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        EXPECT_EQ(fw::AtomicFile::write(root + "/" + c.name, "nuevo"), c.written) << c.name;
        EXPECT_EQ(contents(root + "/fin.caf"), c.written ? "nuevo" : "viejo") << c.name;
        EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot), names) << c.name;
        EXPECT_EQ(QDir(root + "/carpeta").entryList(QDir::Files | QDir::Hidden), QStringList()) << c.name;
        ASSERT_TRUE(DamagedFiles::MakeFile(root + "/fin.caf", "viejo"));
    }
}

TEST(AtomicFileTest, AFileTheUserMayNotWriteIsNotReplacedThoughTheFolderWouldLetIt)
{
    const OrdinaryUser user;
    if (!user.available())
        GTEST_SKIP() << user.whyNot().toStdString();
    QStringList notRun;
    for (const ProtectedTargets::Case& c : ProtectedTargets::runnableCases(notRun)) {
        QTemporaryDir dir;
        const QString path = dir.filePath("dosis.caf");
        ASSERT_TRUE(ProtectedTargets::make(path, "viejo", c, user)) << c.what;
        const QString before = ProtectedTargets::state(path);
        const QString result = user.run([&] {
            const SyncProbe probe;
            if (fw::AtomicFile::write(path, "nuevo"))
                return "written";
            return probe.syncs().isEmpty() ? "refused" : "refused once written and synced";
        });
        EXPECT_EQ(result, c.refused ? "refused" : "written") << c.what;
        if (c.refused) {
            EXPECT_EQ(ProtectedTargets::state(path), before) << c.what;
        } else {
            EXPECT_EQ(contents(path), "nuevo") << c.what;
        }
    }
    if (!notRun.isEmpty())
        GTEST_SKIP() << ProtectedTargets::notRunReason(notRun);
}

TEST(AtomicFileTest, TheNewFileStaysPrivateUntilItTakesTheOldFilesMode)
{
    for (const Making& making : Makings) {
        QTemporaryDir dir;
        for (const mode_t mode : {0600, 0640, 0604}) {
            const QString name = QString("dosis%1.caf").arg(mode, 0, 8);
            const QString path = dir.filePath(name);
            const std::string what = making.what + std::string(", ") + name.toStdString();
            ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
            QList<ModeProbe::Change> changes;
            QString described;
            // A mask that leaves a file made for all readable by all.
            const mode_t previous = ::umask(022);
            {
                std::optional<UnnamedFilesRefused> refused;
                if (!making.unnamedFiles)
                    refused.emplace(EOPNOTSUPP);
                ModeProbe probe;
                EXPECT_TRUE(fw::AtomicFile::write(path, "nuevo")) << what;
                changes = probe.changesUnder(dir.path());
                described = probe.describe();
            }
            ::umask(previous);
            ASSERT_EQ(changes.size(), 1) << what << ": " << described.toStdString();
            // A named new file has the target's name and a suffix; an unnamed one has none.
            EXPECT_EQ(QFileInfo(changes[0].path).fileName().startsWith(name + "."), !making.unnamedFiles)
                << what << ": " << described.toStdString();
            EXPECT_EQ(QString::number(changes[0].before, 8), "600") << what << ": " << described.toStdString();
            EXPECT_EQ(changes[0].after, mode) << what << ": " << described.toStdString();
            EXPECT_EQ(FileOwners::status(path).st_mode & 07777, mode) << what;
        }
    }
}

TEST(AtomicFileTest, ANameThatIsNoRegularFileIsNeverReplaced)
{
    QTemporaryDir dir;
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::NotRegularFiles()) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath(QString("name%1").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        const QFileInfo before(path);
        EXPECT_FALSE(fw::AtomicFile::write(path, "bytes")) << what;
        const QFileInfo after(path);
        EXPECT_EQ(after.isFile(), before.isFile()) << what;
        EXPECT_EQ(after.isDir(), before.isDir()) << what;
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << what;
    }
    EXPECT_FALSE(fw::AtomicFile::write(QString(), "bytes"));
    EXPECT_FALSE(fw::AtomicFile::write(dir.filePath("no-hay/carpeta"), "bytes"));
}

TEST(AtomicFileTest, OnAFullDiskTheOldFileStaysWholeAndNothingIsLeftBeside)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.caf");
    const QByteArray old(300, 'k');
    ASSERT_TRUE(DamagedFiles::MakeFile(path, old));
    // Larger than fits, smaller than one buffered block: only the flush can fail.
    const QByteArray bytes(5000, 'n');
    {
        FileSizeLimit full(64);
        ASSERT_TRUE(full.held());
        EXPECT_FALSE(fw::AtomicFile::write(path, bytes));
        EXPECT_FALSE(fw::AtomicFile::write(path, QByteArray(64 * 1024 * 3, 'g')));
    }
    EXPECT_EQ(contents(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.caf"});
    ASSERT_TRUE(fw::AtomicFile::write(path, bytes));
    EXPECT_EQ(contents(path), bytes);
}

TEST(AtomicFileTest, TheNewFileIsSyncedBeforeTheRenameAndTheFolderOnceItHoldsTheNewName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dosis.caf");
    for (const QByteArray& bytes : {QByteArray("nuevo"), QByteArray("otro, sobre el viejo")}) {
        SyncProbe probe;
        ASSERT_TRUE(fw::AtomicFile::write(path, bytes));
        const QList<SyncProbe::Sync> syncs = probe.syncsUnder(dir.path());
        ASSERT_EQ(syncs.size(), 2) << probe.describe().toStdString();
        EXPECT_FALSE(syncs[0].folder);
        EXPECT_EQ(QFileInfo(syncs[0].path).dir(), QDir(dir.path()));
        EXPECT_NE(QFileInfo(syncs[0].path).fileName(), "dosis.caf"); // before the rename
        EXPECT_TRUE(syncs[1].folder);
        EXPECT_EQ(syncs[1].entries, QStringList{"dosis.caf"}); // after it
        EXPECT_EQ(contents(path), bytes);
    }
}

TEST(AtomicFileTest, AFailedSyncIsAFailedWrite)
{
    struct Case {
        const char* what;
        bool folder;
        int error;
        bool written;
        bool newFileInPlace;
    };
    const Case cases[] = {
        {"the file's sync fails: the old file stays", false, EIO, false, false},
        {"the folder's sync fails after the rename", true, EIO, false, true},
        {"the folder's sync finds the disk full", true, ENOSPC, false, true},
        {"the file system has no sync of folders", true, EINVAL, true, true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("keep.caf");
        ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
        {
            SyncProbe probe;
            (c.folder ? probe.failFolders(c.error) : probe.failFiles(c.error));
            EXPECT_EQ(fw::AtomicFile::write(path, "nuevo"), c.written) << c.what;
        }
        EXPECT_EQ(contents(path), c.newFileInPlace ? "nuevo" : "viejo") << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.caf"}) << c.what;
    }
}

TEST(AtomicFileTest, NamesUpToTheLongestTheFolderTakesAreWrittenAndReplaced)
{
    const QString ene = QString::fromUtf8("\xC3\xB1");  // two bytes
    const QString euro = QString::fromUtf8("\xE2\x82\xAC"); // three bytes
    const QString names[] = {
        "a.caf",
        QString(244, 'd') + ".caf", // 248 bytes: the name and seven characters fit
        QString(245, 'd') + ".caf",
        QString(248, 'd') + ".caf",
        QString(251, 'd') + ".caf", // 255 bytes
        "d" + ene.repeated(125) + ".caf", // 255 bytes, to be cut inside a two-byte character
        euro.repeated(83) + "dd.caf",     // 255 bytes, to be cut inside a three-byte character
    };
    for (const Making& making : Makings) {
        QTemporaryDir dir;
        std::optional<UnnamedFilesRefused> refused;
        if (!making.unnamedFiles)
            refused.emplace(EOPNOTSUPP);
        for (const QString& name : names) {
            const std::string what = making.what + (", " + QString::number(QFile::encodeName(name).size()).toStdString()) + " bytes";
            const QString path = dir.filePath(name);
            ASSERT_TRUE(fw::AtomicFile::write(path, "primero")) << what;
            SyncProbe probe;
            ASSERT_TRUE(fw::AtomicFile::write(path, "segundo")) << what;
            EXPECT_EQ(contents(path), "segundo") << what;
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name}) << what;
            // The new file's own name, where it is synced under one: whole characters, as a
            // file system that checks them wants.
            const QList<SyncProbe::Sync> syncs = probe.syncsUnder(dir.path());
            ASSERT_FALSE(syncs.isEmpty()) << what;
            EXPECT_FALSE(syncs[0].path.contains(QChar::ReplacementCharacter)) << what << ": " << syncs[0].path.toStdString();
            QFile::remove(path);
        }
        EXPECT_FALSE(fw::AtomicFile::write(dir.filePath(QString(252, 'd') + ".caf"), "demasiado largo")) << making.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << making.what;
    }
}

TEST(AtomicFileTest, ANewFileTakesTheUsersModeAndAReplacedOneKeepsItsModeGroupAndOwner)
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath("nuevo.caf");
    const mode_t previous = ::umask(027);
    const bool written = fw::AtomicFile::write(fresh, "nuevo");
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(FileOwners::status(fresh).st_mode & 07777, 0640u);

    if (!FileOwners::mayGiveAway())
        GTEST_SKIP() << "only root may make files of another owner";
    for (const mode_t mode : {0600, 0640, 0664, 0444}) {
        const QString path = dir.filePath(QString("viejo%1.caf").arg(mode, 0, 8));
        ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
        ASSERT_TRUE(FileOwners::give(path, FileOwners::OtherUser, FileOwners::OtherGroup, mode));
        ASSERT_TRUE(fw::AtomicFile::write(path, "nuevo"));
        const struct stat kept = FileOwners::status(path);
        EXPECT_EQ(kept.st_uid, FileOwners::OtherUser) << std::oct << mode;
        EXPECT_EQ(kept.st_gid, FileOwners::OtherGroup) << std::oct << mode;
        EXPECT_EQ(kept.st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(contents(path), "nuevo");
    }
}

TEST(AtomicFileTest, WhatTheWriterMayNotGiveAwayStaysItsOwnWithoutWideningAccess)
{
    if (!FileOwners::mayGiveAway())
        GTEST_SKIP() << "only root may make files of another owner";
    struct Case {
        gid_t group;
        mode_t mode;
        mode_t modeAfter;
    };
    // The writer (root without the right to give files away) is a member of group 0 only.
    const Case cases[] = {
        {0, 0640, 0640},                      // its own group: kept, with its access
        {FileOwners::OtherGroup, 0640, 0600}, // its group may not read what the old group could
        {FileOwners::OtherGroup, 0664, 0644}, // but keeps what it had as others
        {FileOwners::OtherGroup, 0666, 0666},
        {FileOwners::OtherGroup, 0604, 0604},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString("dosis%1.caf").arg(++n));
        ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
        ASSERT_TRUE(FileOwners::give(path, FileOwners::OtherUser, c.group, c.mode));
        {
            const CapabilityDenied denied(CAP_CHOWN);
            ASSERT_TRUE(denied.held());
            EXPECT_TRUE(fw::AtomicFile::write(path, "nuevo")) << n;
        }
        const struct stat after = FileOwners::status(path);
        EXPECT_EQ(after.st_uid, ::geteuid()) << n;
        EXPECT_EQ(after.st_gid, 0u) << n;
        EXPECT_EQ(after.st_mode & 07777, c.modeAfter) << n << ": " << std::oct << (after.st_mode & 07777);
        EXPECT_EQ(contents(path), "nuevo") << n;
    }
}

TEST(AtomicFileTest, AnotherUsersFileInAnotherUsersStickyFolderIsReplacedOnlyWithTheRightToActAsItsOwner)
{
    if (!FileOwners::mayGiveAway())
        GTEST_SKIP() << "only root may make files and folders of another owner";
    struct Case {
        const char* what;
        bool denied;
        bool written;
    };
    const Case cases[] = {
        {"root, who may act as any file's owner", false, true},
        {"root without that right", true, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString folder = dir.filePath("tmp");
        const QString path = folder + "/dosis.caf";
        ASSERT_TRUE(QDir(dir.path()).mkdir("tmp"));
        ASSERT_TRUE(DamagedFiles::MakeFile(path, "viejo"));
        ASSERT_TRUE(FileOwners::give(path, FileOwners::OtherUser, FileOwners::OtherGroup, 0666));
        ASSERT_TRUE(FileOwners::give(folder, FileOwners::OtherUser, FileOwners::OtherGroup, 01777));
        const QString before = ProtectedTargets::state(path);
        bool written = false;
        bool synced = false;
        {
            std::optional<CapabilityDenied> denied;
            if (c.denied) {
                denied.emplace(CAP_FOWNER);
                ASSERT_TRUE(denied->held()) << c.what;
            }
            const SyncProbe probe;
            written = fw::AtomicFile::write(path, "nuevo");
            synced = !probe.syncsUnder(folder).isEmpty();
        }
        EXPECT_EQ(written, c.written) << c.what;
        // Refused before anything was written.
        EXPECT_EQ(synced, c.written) << c.what;
        if (c.written) {
            EXPECT_EQ(contents(path), "nuevo") << c.what;
        } else {
            EXPECT_EQ(ProtectedTargets::state(path), before) << c.what;
        }
    }
}
