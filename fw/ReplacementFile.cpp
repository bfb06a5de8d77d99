#include "fw/ReplacementFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

namespace fw {

namespace {

// A dot and six characters after the target's name, as long as they fit beside it.
constexpr int SuffixLength = 7;
constexpr int MaxAttempts = 100;
// As many links as the system follows in one name.
constexpr int MaxLinkDepth = 40;

QByteArray randomSuffix()
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(".");
    for (int i = 1; i < SuffixLength; ++i)
        suffix += alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))];
    return suffix;
}

// The longest name the folder takes, in bytes: never more than NAME_MAX, which some file
// systems count in characters while they report more bytes.
qsizetype longestName(int folderFd)
{
    const long reported = ::fpathconf(folderFd, _PC_NAME_MAX);
    return reported > 0 && reported < NAME_MAX ? qsizetype(reported) : qsizetype(NAME_MAX);
}

// The name cut to at most room bytes, never inside a UTF-8 sequence.
QByteArray cutName(const QByteArray& name, qsizetype room)
{
    if (name.size() <= room)
        return name;
    qsizetype cut = room;
    while (cut > 0 && (uchar(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.left(cut);
}

// The folder as the system finds it, every link and .. in it resolved, with a final slash.
std::optional<QByteArray> realFolder(const QByteArray& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.constData(), nullptr), &std::free);
    if (!real)
        return std::nullopt;
    QByteArray folder(real.get());
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

// The text of a link; none, with errno, when it cannot be read whole.
std::optional<QByteArray> linkText(const QByteArray& link)
{
    QByteArray text(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(link.constData(), text.data(), size_t(text.size()));
    if (length < 0)
        return std::nullopt;
    if (length == text.size()) {
        errno = ENAMETOOLONG;
        return std::nullopt;
    }
    text.truncate(length);
    return text;
}

// The refusals of an unnamed file that say the system makes none in this folder: the file
// system has none, or the kernel predates them and takes the flags for a folder's.
bool noUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOENT;
}

// The name by which an open file is linked in: the one /proc gives its descriptor.
QByteArray descriptorPath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// Whether the file is found by its descriptor's name, which needs /proc mounted.
bool reachableByDescriptorPath(int fd)
{
    struct stat byName {};
    struct stat byDescriptor {};
    return ::stat(descriptorPath(fd).constData(), &byName) == 0 && ::fstat(fd, &byDescriptor) == 0
        && byName.st_dev == byDescriptor.st_dev && byName.st_ino == byDescriptor.st_ino;
}

// Whether the calling thread may act as any file's owner (CAP_FOWNER in its effective set),
// which the system asks before it lets another's file in another's sticky folder go. When the
// set cannot be read, yes: the rename decides then.
bool mayActAsAnyOwner()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct sets[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, sets) != 0)
        return true;
    return (sets[CAP_TO_INDEX(CAP_FOWNER)].effective & CAP_TO_MASK(CAP_FOWNER)) != 0;
}

} // namespace

ReplacementFile::ReplacementFile(const QString& target, Access access, int spareNameBytes)
    : m_target(target)
    , m_access(access)
    , m_spareNameBytes(spareNameBytes)
{
}

ReplacementFile::~ReplacementFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    removeTemporary();
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

bool ReplacementFile::open()
{
    return resolveTarget() && openFolder() && mayWriteOldFile() && mayRemoveOldFile() && createTemporary();
}

QString ReplacementFile::fileName() const
{
    Q_ASSERT(m_access == Access::Name);
    return newFilePath();
}

bool ReplacementFile::commit()
{
    if (m_fd < 0) {
        errno = EBADF;
        return fail(m_target);
    }
    keepAccess();
    if (::fsync(m_fd) != 0)
        return fail(newFilePath());
    // An unnamed file takes a name only now, just before it takes the target's.
    if (m_temporaryName.isEmpty() && !linkUnnamed())
        return false;
    if (::close(std::exchange(m_fd, -1)) != 0)
        return fail(newFilePath());
    if (::renameat(m_folderFd, m_temporaryName.constData(), m_folderFd, m_finalName.constData()) != 0)
        return fail(m_target);
    m_temporaryName.clear(); // it is the target now
    // Without this the rename itself may not outlive a power loss. A file system that has no
    // sync of folders (EINVAL) can do no more.
    if (::fsync(m_folderFd) != 0 && errno != EINVAL)
        return fail(m_folder);
    return true;
}

bool ReplacementFile::resolveTarget()
{
    if (m_target.isEmpty()) {
        errno = ENOENT;
        return fail(m_target);
    }
    // The file a link names is replaced, or made when it is not there yet: the one that opening
    // the target's name gives. A link's text is taken from the folder the link really lies in,
    // so each folder is resolved by the system before the name in it is looked at.
    QByteArray path = QFile::encodeName(m_target);
    for (int depth = 0;; ++depth) {
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray name = path.mid(slash + 1);
        if (name.isEmpty() || name == "." || name == "..") {
            errno = EISDIR;
            return fail(m_target);
        }
        const std::optional<QByteArray> folder = realFolder(slash < 0 ? QByteArray(".") : path.left(slash + 1));
        if (!folder)
            return fail(m_target);
        const QByteArray inFolder = *folder + name;
        struct stat status {};
        if (::lstat(inFolder.constData(), &status) != 0) {
            if (errno != ENOENT)
                return fail(m_target);
            return takeFinal(*folder, name);
        }
        if (!S_ISLNK(status.st_mode)) {
            if (!S_ISREG(status.st_mode)) {
                errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
                return fail(m_target);
            }
            m_hadOldFile = true;
            m_oldFile = status;
            return takeFinal(*folder, name);
        }
        if (depth == MaxLinkDepth) {
            errno = ELOOP;
            return fail(m_target);
        }
        const std::optional<QByteArray> text = linkText(inFolder);
        if (!text)
            return fail(m_target);
        path = text->startsWith('/') ? *text : *folder + *text;
    }
}

bool ReplacementFile::takeFinal(const QByteArray& folder, const QByteArray& name)
{
    m_folder = QFile::decodeName(folder.size() > 1 ? folder.chopped(1) : folder);
    m_finalName = name;
    return true;
}

bool ReplacementFile::openFolder()
{
    // Opened first: a folder that cannot be synced is found before anything is written.
    m_folderFd = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return m_folderFd >= 0 || fail(m_folder);
}

bool ReplacementFile::mayWriteOldFile()
{
    // The rename would replace a file that the folder lets go but the file itself does not let
    // the user write (his own write-protected file, another's file he may only read).
    if (m_hadOldFile && ::faccessat(m_folderFd, m_finalName.constData(), W_OK, AT_EACCESS) != 0)
        return fail(m_target);
    return true;
}

bool ReplacementFile::mayRemoveOldFile()
{
    // A sticky folder (as /tmp) lets a file go only for its owner, the folder's owner, or a
    // process that may act as any file's owner: else the rename would be refused, but only
    // after the whole file was written.
    if (!m_hadOldFile)
        return true;
    struct stat folder {};
    if (::fstat(m_folderFd, &folder) != 0)
        return fail(m_folder);
    const uid_t self = ::geteuid();
    if ((folder.st_mode & S_ISVTX) == 0 || m_oldFile.st_uid == self || folder.st_uid == self || mayActAsAnyOwner())
        return true;
    errno = EPERM;
    return fail(m_target);
}

bool ReplacementFile::createTemporary()
{
    if (m_access == Access::Name)
        return createNamed();
    const int fd = ::openat(m_folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, newFileMode());
    if (fd < 0)
        return noUnnamedFiles(errno) ? createNamed() : fail(m_folder);
    // The commit links it in by its descriptor's name: without /proc, it is named now.
    if (!reachableByDescriptorPath(fd)) {
        ::close(fd);
        return createNamed();
    }
    m_fd = fd;
    return true;
}

bool ReplacementFile::createNamed()
{
    const mode_t mode = newFileMode();
    return takeFreshName([&](const QByteArray& name) {
        m_fd = ::openat(m_folderFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode);
        return m_fd >= 0;
    });
}

bool ReplacementFile::linkUnnamed()
{
    const QByteArray self = descriptorPath(m_fd);
    return takeFreshName([&](const QByteArray& name) {
        return ::linkat(AT_FDCWD, self.constData(), m_folderFd, name.constData(), AT_SYMLINK_FOLLOW) == 0;
    });
}

bool ReplacementFile::takeFreshName(const std::function<bool(const QByteArray&)>& make)
{
    const QByteArray base = cutName(m_finalName, longestName(m_folderFd) - SuffixLength - m_spareNameBytes);
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        const QByteArray name = base + randomSuffix();
        if (make(name)) {
            m_temporaryName = name;
            return true;
        }
        if (errno != EEXIST)
            return fail(QDir(m_folder).filePath(QFile::decodeName(name)));
    }
    return fail(m_folder);
}

mode_t ReplacementFile::newFileMode() const
{
    // Private until the commit when it replaces a file whose mode may be narrower.
    return m_hadOldFile ? S_IRUSR | S_IWUSR : 0666;
}

void ReplacementFile::keepAccess()
{
    if (!m_hadOldFile)
        return;
    // Owner and group before the mode: what was kept decides the mode. A process that may not
    // give the file away may still be a member of the old group.
    const bool groupKept = ::fchown(m_fd, m_oldFile.st_uid, m_oldFile.st_gid) == 0
        || ::fchown(m_fd, uid_t(-1), m_oldFile.st_gid) == 0;
    mode_t mode = m_oldFile.st_mode & 0777;
    if (!groupKept) {
        // The members of the file's new group had at most the old file's access for others.
        const mode_t othersAsGroup = (mode & S_IRWXO) << 3;
        mode &= ~(S_IRWXG & ~othersAsGroup);
    }
    // A mode that cannot be set leaves the file readable by its owner alone: narrower.
    ::fchmod(m_fd, mode);
}

QString ReplacementFile::newFilePath() const
{
    return m_temporaryName.isEmpty() ? m_target : QDir(m_folder).filePath(QFile::decodeName(m_temporaryName));
}

bool ReplacementFile::fail(const QString& name)
{
    const int error = errno;
    m_error = QStringLiteral("%1 (%2)").arg(qt_error_string(error), QDir::toNativeSeparators(name));
    return false;
}

void ReplacementFile::removeTemporary()
{
    if (!m_temporaryName.isEmpty() && m_folderFd >= 0)
        ::unlinkat(m_folderFd, m_temporaryName.constData(), 0);
    m_temporaryName.clear();
}

} // namespace fw
