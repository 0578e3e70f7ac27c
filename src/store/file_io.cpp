#include "store/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

bool syncDirectoryPath(const QByteArray &path)
{
    if (const int e = injected(Op::DirSync); e > 0) {
        errno = e;
        return false;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

bool syncDirectory(const QDir &dir) { return syncDirectoryPath(nativePath(dir.absolutePath())); }


// Reads a whole file by path, without the fault seam: checking what a
// file holds is not one of the store's writing calls.
bool readWhole(const QByteArray &path, QByteArray *out, struct stat *st)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fstat(fd, st) == 0;
    if (ok) {
        out->resize(qsizetype(st->st_size));
        qsizetype got = 0;
        for (;;) {
            if (got == out->size())
                out->resize(got + 4096); // the file grew meanwhile
            const ssize_t n = ::read(fd, out->data() + got, size_t(out->size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            got += n;
        }
        out->resize(got);
    }
    ::close(fd);
    return ok;
}

qint64 mtimeNsOf(const struct stat &st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool holds(const QByteArray &path, const FileStamp &stamp)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return errno == ENOENT && !stamp.exists;
    if (!stamp.exists || qint64(st.st_size) != stamp.size)
        return false;
    QByteArray now;
    if (!readWhole(path, &now, &st))
        return false;
    return now.size() == stamp.size && checksumOf(now.constData(), now.size()) == stamp.checksum;
}

// Where a replace writes: the file itself, or the target of a link with
// its scratch file and directory beside it.
struct ReplaceTarget {
    QByteArray path;
    QByteArray scratch;
    QByteArray directory;
    bool danglingLink = false;
};

ReplaceTarget replaceTarget(const DataDir &dir, const QString &actual, const QString &scratchName)
{
    ReplaceTarget t;
    t.path = nativePath(dir.dir().filePath(actual));
    t.scratch = nativePath(dir.dir().filePath(scratchName));
    t.directory = nativePath(dir.dir().absolutePath());
    struct stat st {};
    if (::lstat(t.path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return t;
    char *real = ::realpath(t.path.constData(), nullptr);
    if (!real) {
        t.danglingLink = true;
        return t;
    }
    t.path = QByteArray(real);
    std::free(real);
    t.scratch = t.path + ".tmp";
    const qsizetype slash = t.path.lastIndexOf('/');
    t.directory = slash <= 0 ? QByteArray("/") : t.path.left(slash);
    return t;
}

StoreError danglingLinkError(const QString &actual)
{
    return StoreError{actual, 0,
                      QStringLiteral("シンボリックリンクの先のファイルが見つからないため書き込めません")};
}

MaybeError replaceImpl(const DataDir &dir, const QString &name, const QString &scratchName,
                       const QByteArray &content, const FileStamp *asRead, bool *changed)
{
    const QString actual = dir.resolve(name);
    const ReplaceTarget t = replaceTarget(dir, actual, scratchName);
    if (t.danglingLink)
        return danglingLinkError(actual);
    const QByteArray &target = t.path;
    const QByteArray &scratch = t.scratch;

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
    // Another program may have written the file since it was read.
    if (asRead && !holds(target, *asRead)) {
        ::unlink(scratch.constData());
        if (changed)
            *changed = true;
        return StoreError{actual, 0, changedOutsideReason()};
    }
    if (::rename(scratch.constData(), target.constData()) != 0)
        return fail(errno, false);
    // The new content is in place; make the rename itself durable.
    if (!syncDirectoryPath(t.directory))
        return errnoError(actual, errno);
    return std::nullopt;
}

struct Remembered {
    QHash<QString, FileStamp> stamps;
};

Remembered &remembered()
{
    static Remembered r; // the store is used from one thread
    return r;
}

QString rememberKey(const DataDir &dir, const QString &name)
{
    return QDir::cleanPath(dir.dir().absoluteFilePath(dir.resolve(name)));
}

} // namespace

quint64 checksumOf(const char *data, qsizetype size)
{
    return quint64(qHashBits(data, size_t(size), 0x6e616e61u));
}

FileStamp stampOf(const QByteArray &bytes)
{
    FileStamp s;
    s.exists = true;
    s.size = bytes.size();
    s.checksum = checksumOf(bytes.constData(), bytes.size());
    return s;
}

FileStamp currentStamp(const DataDir &dir, const QString &name)
{
    QByteArray bytes;
    struct stat st {};
    if (!readWhole(nativePath(dir.path(name)), &bytes, &st))
        return FileStamp{};
    FileStamp s = stampOf(bytes);
    s.mtimeNs = mtimeNsOf(st);
    return s;
}

bool stillHolds(const DataDir &dir, const QString &name, const FileStamp &stamp)
{
    return holds(nativePath(dir.path(name)), stamp);
}

void rememberContent(const DataDir &dir, const QString &name, const QByteArray &bytes)
{
    rememberContent(dir, name, stampOf(bytes));
}

void rememberContent(const DataDir &dir, const QString &name, FileStamp s)
{
    struct stat st {};
    if (::stat(nativePath(dir.path(name)).constData(), &st) == 0)
        s.mtimeNs = mtimeNsOf(st);
    remembered().stamps.insert(rememberKey(dir, name), s);
}

std::optional<FileStamp> rememberedContent(const DataDir &dir, const QString &name)
{
    const auto it = remembered().stamps.constFind(rememberKey(dir, name));
    if (it == remembered().stamps.constEnd())
        return std::nullopt;
    return *it;
}

void forgetRememberedContents() { remembered().stamps.clear(); }

QString changedOutsideReason()
{
    return QStringLiteral("読み込んだ後でほかのプログラムに書き換えられていたため、上書きしませんでした。"
                          "画面を開き直してから、もう一度やり直してください");
}

QString scratchPathFor(const DataDir &dir, const QString &name, const QString &scratchName)
{
    const ReplaceTarget t = replaceTarget(dir, dir.resolve(name), scratchName);
    return t.danglingLink ? QString() : QFile::decodeName(t.scratch);
}

namespace {

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
    return replaceImpl(dir, name, scratchName, content, nullptr, nullptr);
}

MaybeError replaceFileIfUnchanged(const DataDir &dir, const QString &name,
                                  const QString &scratchName, const QByteArray &content,
                                  const FileStamp &asRead, bool *changed)
{
    if (changed)
        *changed = false;
    return replaceImpl(dir, name, scratchName, content, &asRead, changed);
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
