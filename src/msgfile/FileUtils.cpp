#include "msgfile/FileUtils.h"

#include "msgfile/FaultInjection.h"
#include "platform/OsError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsPathDelimiter(QChar c)
{
    return c == QLatin1Char('/');
}

// Position of the last separator, or -1.
qsizetype LastDelimiter(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (IsPathDelimiter(path.at(i)))
            return i;
    }
    return -1;
}

QByteArray NativeName(const QString &fileName)
{
    return QFile::encodeName(fileName);
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    // Closes now, reporting the system's error number (0 when it went well).
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= size_t(written);
    }
    return true;
}

// Copies the contents of one open file into another; 0 or the error number.
int CopyContents(int from, int to)
{
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), size_t(buffer.size()));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return 0;
        if (!WriteAll(to, buffer.constData(), size_t(got)))
            return errno;
    }
}

QString RandomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix.append(QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]));
    return suffix;
}

// A candidate for a new temporary file in Directory: Prefix, six random
// letters or digits, ".tmp".
QString TempNameIn(const QString &directory, const QString &prefix)
{
    return JoinPath(directory, prefix + RandomSuffix() + QStringLiteral(".tmp"));
}

// Dir made absolute; the current folder for an empty Dir.
QString AbsoluteDir(const QString &dir)
{
    return QFileInfo(dir.isEmpty() ? QStringLiteral(".") : dir).absoluteFilePath();
}

// Runs the system call unless a fault is injected at Point; then it "fails"
// with the injected error in errno, as the call itself would.
template <typename Call>
int CallUnlessFaulted(TFailPoint point, Call call)
{
    if (const int error = InjectedFault(point)) {
        errno = error;
        return -1;
    }
    return call();
}

void RaiseIfFaulted(TFailPoint point)
{
    if (const int error = InjectedFault(point))
        RaiseOSError(error);
}

// The file system has no hard links (FAT and kin), or not across this
// folder (EXDEV: a file mounted on its own).
bool HardLinksRefused(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOTSUP || error == EXDEV;
}

// Whether both names are entries of one and the same file.
bool SameFile(const QByteArray &first, const QByteArray &second)
{
    struct stat a {};
    struct stat b {};
    return ::lstat(first.constData(), &a) == 0 && ::lstat(second.constData(), &b) == 0 && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

// Links Name under a new temporary name in its folder and returns that name;
// an empty string when the file system refuses hard links.
QString LinkUnderTempName(const QString &name)
{
    const QByteArray target = NativeName(name);
    const QString directory = AbsoluteDir(GetFileDir(name));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray link = NativeName(TempNameIn(directory, QString::fromLatin1(SaveTempPrefix)));
        const auto makeLink = [&] { return ::link(target.constData(), link.constData()); };
        if (CallUnlessFaulted(TFailPoint::LinkBackup, makeLink) == 0)
            return QFile::decodeName(link);
        if (errno == EEXIST)
            continue;
        if (HardLinksRefused(errno))
            return {};
        RaiseLastOSError();
    }
    RaiseOSError(EEXIST);
}

// Makes Backup a second name of the file Name, replacing an older backup in
// the same step. False when the file system refuses hard links.
bool MakeLinkedBackup(const QString &name, const QString &backup)
{
    const QByteArray backupName = NativeName(backup);
    // A save cut short after this step leaves the two names on one file;
    // renaming a link of it over the backup would then do nothing and leave
    // the link behind.
    if (SameFile(NativeName(name), backupName))
        return true;
    const QString link = LinkUnderTempName(name);
    if (link.isEmpty())
        return false;
    const QByteArray linkName = NativeName(link);
    const auto renameLink = [&] { return ::rename(linkName.constData(), backupName.constData()); };
    if (CallUnlessFaulted(TFailPoint::RenameBackup, renameLink) != 0) {
        const int error = errno;
        DeleteFileQuiet(link);
        RaiseOSError(error);
    }
    return true;
}

// The sequence for file systems without hard links: for a moment Name is
// without a file.
void ReplaceByRenames(const QString &temp, const QString &name, const QString &backup)
{
    if (FileExists(backup))
        DeleteFileChecked(backup);
    RaiseIfFaulted(TFailPoint::RenameBackup);
    RenameFileChecked(name, backup);
    RaiseIfFaulted(TFailPoint::ReplaceFile);
    RenameFileChecked(temp, name);
}

} // namespace

QString JoinPath(const QString &dir, const QString &fileName)
{
    if (dir.isEmpty() || IsPathDelimiter(dir.back()))
        return dir + fileName;
    return dir + QLatin1Char('/') + fileName;
}

QString GetFileDir(const QString &path)
{
    qsizetype end = LastDelimiter(path);
    if (end < 0)
        return {};
    // Drop the separator itself, unless it is the root or follows another.
    if (end > 0 && !IsPathDelimiter(path.at(end - 1)))
        return path.left(end);
    return path.left(end + 1);
}

bool FileExists(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() && !info.isDir();
}

QString CreateTempFile(const QString &dir, const QString &prefix)
{
    RaiseIfFaulted(TFailPoint::CreateTemp);
    const QString directory = AbsoluteDir(dir);
    // The new file gets the usual permissions (0666 less the umask), since it
    // becomes the message file itself once it is renamed into place.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = TempNameIn(directory, prefix);
        const int fd = ::open(NativeName(name).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            RaiseLastOSError();
    }
    RaiseOSError(EEXIST);
}

bool DeleteFileQuiet(const QString &fileName)
{
    return ::unlink(NativeName(fileName).constData()) == 0;
}

void DeleteFileChecked(const QString &fileName)
{
    if (::unlink(NativeName(fileName).constData()) != 0)
        RaiseLastOSError();
}

void CopyFileChecked(const QString &source, const QString &dest)
{
    FileDescriptor from(::open(NativeName(source).constData(), O_RDONLY | O_CLOEXEC));
    if (from.get() < 0)
        RaiseLastOSError();
    struct stat sourceInfo {};
    if (::fstat(from.get(), &sourceInfo) != 0)
        RaiseLastOSError();
    // Copying a file onto itself would empty it before reading it.
    struct stat destInfo {};
    if (::stat(NativeName(dest).constData(), &destInfo) == 0 && destInfo.st_dev == sourceInfo.st_dev
        && destInfo.st_ino == sourceInfo.st_ino)
        RaiseOSError(EINVAL);

    FileDescriptor to(::open(NativeName(dest).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                             sourceInfo.st_mode & 0777));
    if (to.get() < 0)
        RaiseLastOSError();
    struct stat targetInfo {};
    const bool regularTarget = ::fstat(to.get(), &targetInfo) == 0 && S_ISREG(targetInfo.st_mode);
    int error = InjectedFault(TFailPoint::CopyFile);
    if (error == 0)
        error = CopyContents(from.get(), to.get());
    if (error == 0 && ::fsync(to.get()) != 0)
        error = errno;
    if (error == 0) {
        const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
        ::futimens(to.get(), times);
    }
    const int closeError = to.close();
    if (error == 0)
        error = closeError;
    if (error != 0) {
        // A half copy would pass for a whole one later. Only a file is
        // removed: a device or other special target stays.
        if (regularTarget)
            DeleteFileQuiet(dest);
        RaiseOSError(error);
    }
}

void RenameFileChecked(const QString &oldName, const QString &newName)
{
    const QByteArray from = NativeName(oldName);
    const QByteArray to = NativeName(newName);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        RaiseLastOSError();

    // The file system cannot rename without replacing: a hard link fails as
    // well when the target exists, and is then the only name to remove.
    if (::link(from.constData(), to.constData()) == 0) {
        if (::unlink(from.constData()) != 0)
            RaiseLastOSError();
        return;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        RaiseLastOSError();

    // No hard links either (FAT and kin): check, then rename.
    if (QFileInfo::exists(newName))
        RaiseOSError(EEXIST);
    if (::rename(from.constData(), to.constData()) != 0)
        RaiseLastOSError();
}

void SyncFile(const QString &fileName)
{
    FileDescriptor file(::open(NativeName(fileName).constData(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        RaiseLastOSError();
    if (CallUnlessFaulted(TFailPoint::SyncFile, [&] { return ::fsync(file.get()); }) != 0)
        RaiseLastOSError();
    const int closeError = file.close();
    if (closeError != 0)
        RaiseOSError(closeError);
}

void SyncDirectory(const QString &dir)
{
    const QByteArray name = NativeName(dir.isEmpty() ? QStringLiteral(".") : dir);
    FileDescriptor folder(::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        RaiseLastOSError();
    if (CallUnlessFaulted(TFailPoint::SyncDirectory, [&] { return ::fsync(folder.get()); }) != 0 && errno != EINVAL)
        RaiseLastOSError();
}

void ReplaceFileKeepingBackup(const QString &temp, const QString &name)
{
    if (!FileExists(name)) {
        // Nothing to keep; and nothing that appeared meanwhile is replaced.
        RaiseIfFaulted(TFailPoint::ReplaceFile);
        RenameFileChecked(temp, name);
        return;
    }
    const QString backup = BackupFileName(name);
    if (!MakeLinkedBackup(name, backup)) {
        ReplaceByRenames(temp, name, backup);
        return;
    }
    // Name now has its backup; the rename replaces its file in one step.
    const QByteArray from = NativeName(temp);
    const QByteArray to = NativeName(name);
    if (CallUnlessFaulted(TFailPoint::ReplaceFile, [&] { return ::rename(from.constData(), to.constData()); }) != 0)
        RaiseLastOSError();
}

QString BackupFileName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot >= 0 && dot > LastDelimiter(fileName);
    const QString stem = hasExtension ? fileName.left(dot) : fileName;
    const QString extension = hasExtension ? fileName.mid(dot) : QString();
    // The extension's characters without the leading "." and the last one.
    const QString kept = extension.size() > 2 ? extension.mid(1, extension.size() - 2) : QString();
    return stem + QStringLiteral(".~") + kept;
}

QString InitialBackupName(const QString &fileName)
{
    return QFileInfo(fileName).absoluteFilePath() + QStringLiteral(".OrigBAK");
}
