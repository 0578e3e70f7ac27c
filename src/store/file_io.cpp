#include "store/file_io.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace faults {
namespace {
Hook g_hook = nullptr;
}
void setHook(Hook hook) { g_hook = hook; }
} // namespace faults

namespace {

using faults::Op;

int injected(Op op) { return faults::g_hook ? faults::g_hook(op) : 0; }

QByteArray nativePath(const QString &path) { return QFile::encodeName(path); }

StoreError errnoError(const QString &name, int err)
{
    return StoreError{name, 0, reasonForErrno(err)};
}

int openFile(const QByteArray &path, int flags, mode_t mode = 0644)
{
    if (const int e = injected(Op::Open); e > 0) {
        errno = e;
        return -1;
    }
    int fd;
    do {
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Writes all bytes or fails; never reports a short write as success.
bool writeAll(int fd, const char *data, size_t len)
{
    const int e = injected(Op::Write);
    if (e == faults::kPartialWrite) {
        if (len > 1)
            (void)!::write(fd, data, len / 2);
        errno = ENOSPC;
        return false;
    }
    if (e > 0) {
        errno = e;
        return false;
    }
    while (len > 0) {
        const ssize_t n = ::write(fd, data, len);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        len -= size_t(n);
    }
    return true;
}

bool syncFile(int fd)
{
    if (const int e = injected(Op::Sync); e > 0) {
        errno = e;
        return false;
    }
    return ::fdatasync(fd) == 0;
}

bool closeFile(int fd)
{
    if (const int e = injected(Op::Close); e > 0) {
        ::close(fd);
        errno = e;
        return false;
    }
    return ::close(fd) == 0 || errno == EINTR;
}

bool syncDirectory(const QDir &dir)
{
    if (const int e = injected(Op::DirSync); e > 0) {
        errno = e;
        return false;
    }
    const int fd = ::open(nativePath(dir.absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

bool truncateTo(int fd, off_t size)
{
    if (const int e = injected(Op::Truncate); e > 0) {
        errno = e;
        return false;
    }
    return ::ftruncate(fd, size) == 0;
}

} // namespace

QString reasonForErrno(int err)
{
    switch (err) {
    case ENOSPC: return QStringLiteral("ディスクの空きが足りないため書き込めません");
    case EDQUOT: return QStringLiteral("ディスクの使用量の上限に達したため書き込めません");
    case EFBIG: return QStringLiteral("ファイルが大きすぎるため書き込めません");
    case EACCES:
    case EPERM: return QStringLiteral("書き込み(または読み込み)が許可されていません");
    case EROFS: return QStringLiteral("読み取り専用の場所のため書き込めません");
    case ENOENT: return QStringLiteral("ファイルが見つかりません");
    case EIO: return QStringLiteral("入出力エラーが起きました");
    case EISDIR: return QStringLiteral("同じ名前のフォルダーがあります");
    case EEXIST: return QStringLiteral("同じ名前のファイルがすでにあります");
    default:
        return QStringLiteral("ファイル操作に失敗しました(%1)").arg(QString::fromLocal8Bit(std::strerror(err)));
    }
}

QString scratchNameFor(const QString &name) { return name + QStringLiteral(".tmp"); }

MaybeError readBytes(const DataDir &dir, const QString &name, QByteArray *out)
{
    const QString actual = dir.resolve(name);
    QFile f(dir.dir().filePath(actual));
    if (!QFileInfo(f.fileName()).isFile())
        return StoreError{name, 0, QStringLiteral("ファイルが見つかりません")};
    if (!f.open(QIODevice::ReadOnly))
        return StoreError{actual, 0, QStringLiteral("ファイルを開けません(%1)").arg(f.errorString())};
    *out = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return StoreError{actual, 0, QStringLiteral("ファイルを読めません(%1)").arg(f.errorString())};
    return std::nullopt;
}

MaybeError replaceFile(const DataDir &dir, const QString &name, const QString &scratchName,
                       const QByteArray &content)
{
    const QString actual = dir.resolve(name);
    const QByteArray target = nativePath(dir.dir().filePath(actual));
    const QByteArray scratch = nativePath(dir.dir().filePath(scratchName));

    if (MaybeError e = checkWritable(dir, name))
        return e;
    // Keep the permissions of the file being replaced.
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        mode = st.st_mode & 07777;

    ::unlink(scratch.constData()); // left by an interrupted rewrite; never data
    const int fd = openFile(scratch, O_WRONLY | O_CREAT | O_TRUNC, mode);
    if (fd < 0)
        return errnoError(actual, errno);

    auto fail = [&](int err, bool open) -> MaybeError {
        if (open)
            ::close(fd);
        ::unlink(scratch.constData());
        return errnoError(actual, err);
    };
    if (!writeAll(fd, content.constData(), size_t(content.size())))
        return fail(errno, true);
    if (!syncFile(fd))
        return fail(errno, true);
    if (!closeFile(fd))
        return fail(errno, false);

    if (const int e = injected(Op::Rename); e > 0)
        return fail(e, false);
    if (::rename(scratch.constData(), target.constData()) != 0)
        return fail(errno, false);
    // The new content is in place; make the rename itself durable.
    if (!syncDirectory(dir.dir()))
        return errnoError(actual, errno);
    return std::nullopt;
}

MaybeError appendLine(const DataDir &dir, const QString &name, const QByteArray &line)
{
    const QString actual = dir.resolve(name);
    const QByteArray path = nativePath(dir.dir().filePath(actual));
    const bool existed = QFileInfo(dir.dir().filePath(actual)).isFile();
    const int fd = openFile(path, O_RDWR | O_CREAT, 0644);
    if (fd < 0)
        return errnoError(actual, errno);

    const off_t oldSize = ::lseek(fd, 0, SEEK_END);
    if (oldSize < 0) {
        const int e = errno;
        ::close(fd);
        return errnoError(actual, e);
    }
    QByteArray bytes;
    if (oldSize > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, oldSize - 1) == 1 && last != '\n')
            bytes = "\r\n";
    }
    bytes += line;

    if (!writeAll(fd, bytes.constData(), size_t(bytes.size())) || !syncFile(fd)) {
        const int e = errno;
        // Never leave half a line behind.
        if (truncateTo(fd, oldSize))
            (void)::fdatasync(fd);
        ::close(fd);
        return errnoError(actual, e);
    }
    if (!closeFile(fd)) {
        // The caller is told the append failed, so it must not be there.
        const int e = errno;
        (void)truncateFile(dir, name, oldSize);
        return errnoError(actual, e);
    }
    if (!existed && !syncDirectory(dir.dir())) {
        const int e = errno;
        ::unlink(path.constData());
        return errnoError(actual, e);
    }
    return std::nullopt;
}

MaybeError checkWritable(const DataDir &dir, const QString &name)
{
    const QString actual = dir.resolve(name);
    const QByteArray path = nativePath(dir.dir().filePath(actual));
    // With the effective user's rights, as an open for writing would be
    // judged; a file that does not exist yet is for the directory to allow.
    if (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return errnoError(actual, errno);
    return std::nullopt;
}

MaybeError renameNoReplace(const DataDir &dir, const QString &from, const QString &to)
{
    const QString actual = dir.resolve(from);
    const QByteArray src = nativePath(dir.dir().filePath(actual));
    const QByteArray dst = nativePath(dir.dir().filePath(to));
    if (const int e = injected(Op::Rename); e > 0)
        return errnoError(actual, e);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return errnoError(actual, errno);
        // A file system without the flag: look first, then rename.
        if (::access(dst.constData(), F_OK) == 0)
            return errnoError(actual, EEXIST);
        if (::rename(src.constData(), dst.constData()) != 0)
            return errnoError(actual, errno);
    }
    if (!syncDirectory(dir.dir()))
        return errnoError(actual, errno);
    return std::nullopt;
}

MaybeError removeFile(const DataDir &dir, const QString &name)
{
    const QString actual = dir.resolve(name);
    if (::unlink(nativePath(dir.dir().filePath(actual)).constData()) != 0)
        return errnoError(actual, errno);
    if (!syncDirectory(dir.dir()))
        return errnoError(actual, errno);
    return std::nullopt;
}

MaybeError truncateFile(const DataDir &dir, const QString &name, qint64 size)
{
    const QString actual = dir.resolve(name);
    const int fd = openFile(nativePath(dir.dir().filePath(actual)), O_WRONLY);
    if (fd < 0)
        return errnoError(actual, errno);
    if (!truncateTo(fd, off_t(size)) || !syncFile(fd)) {
        const int e = errno;
        ::close(fd);
        return errnoError(actual, e);
    }
    if (!closeFile(fd))
        return errnoError(actual, errno);
    return std::nullopt;
}

} // namespace store
