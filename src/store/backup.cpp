#include "store/backup.h"

#include "store/data_file.h"
#include "store/file_io.h"
#include "store/first_start.h"
#include "store/memo_file.h"
#include "store/record.h"
#include "store/settings_files.h"
#include "store/situation_file.h"
#include "store/undo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

const QString kManifest = QStringLiteral(".manifest");
const QString kPartial = QStringLiteral(".partial");
const QString kJournal = QStringLiteral("journal.txt");
const QString kDaily = QStringLiteral("daily");

QByteArray native(const QString &path) { return QFile::encodeName(path); }

bool syncDirectoryPath(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

QString hex(quint64 v) { return QStringLiteral("%1").arg(v, 16, 16, QLatin1Char('0')); }

bool fromHex(const QString &s, quint64 *v)
{
    bool ok = false;
    *v = s.toULongLong(&ok, 16);
    return ok && s.size() == 16;
}

// The stem is compared exactly, the extension in any case, as DataDir does.
bool sameFileName(const QString &a, const QString &b)
{
    const qsizetype da = a.lastIndexOf(u'.');
    const qsizetype db = b.lastIndexOf(u'.');
    if (da <= 0 || db <= 0)
        return a == b;
    return a.left(da) == b.left(db) && a.mid(da).compare(b.mid(db), Qt::CaseInsensitive) == 0;
}

int personOf(const QString &name)
{
    if (sameFileName(name, dataFileName(PersonSlot::One)))
        return 1;
    if (sameFileName(name, dataFileName(PersonSlot::Two)))
        return 2;
    return 0;
}

// Lines that hold more than blanks: the records of a data file, counted
// without reading them (a snapshot of a damaged file is still worth
// keeping, and listing many snapshots must stay quick).
int countRecordLines(const QByteArray &b)
{
    int n = 0;
    bool content = false;
    for (const char c : b) {
        if (c == '\n') {
            n += content ? 1 : 0;
            content = false;
        } else if (c != '\r' && c != ' ' && c != '\t') {
            content = true;
        }
    }
    return n + (content ? 1 : 0);
}

struct ManifestEntry {
    QString name;
    qint64 size = 0;
    quint64 sum = 0;
    int records = -1;
    bool operator==(const ManifestEntry &o) const
    {
        return name == o.name && size == o.size && sum == o.sum;
    }
};

QByteArray manifestBytes(const QList<ManifestEntry> &entries)
{
    QString text = QStringLiteral("nanahoshi-snapshot 1\n");
    for (const ManifestEntry &e : entries)
        text += QStringLiteral("%1\t%2\t%3\t%4\n").arg(hex(e.sum)).arg(e.size).arg(e.records).arg(e.name);
    return text.toUtf8();
}

bool parseManifest(const QByteArray &bytes, QList<ManifestEntry> *out)
{
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.first() != QLatin1String("nanahoshi-snapshot 1"))
        return false;
    out->clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines.at(i).split(u'\t');
        if (f.size() != 4)
            return false;
        ManifestEntry e;
        bool okSize = false, okRecords = false;
        e.size = f.at(1).toLongLong(&okSize);
        e.records = f.at(2).toInt(&okRecords);
        e.name = f.at(3);
        if (!fromHex(f.at(0), &e.sum) || !okSize || !okRecords || e.name.isEmpty() ||
            e.name.contains(u'/') || e.name.startsWith(u'.'))
            return false;
        out->append(e);
    }
    return !out->isEmpty();
}

struct Found {
    QString folder;
    QDateTime when;
    QString reason;
    int n = 1; // the suffix of a second snapshot in the same second
    QList<ManifestEntry> entries;
    bool isDaily() const { return reason == kDaily; }
};

bool parseFolderName(const QString &name, Found *out)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{8})-(\\d{6})-([a-z]+)(?:-(\\d+))?$"));
    const QRegularExpressionMatch m = re.match(name);
    if (!m.hasMatch())
        return false;
    const QDate d = QDate::fromString(m.captured(1), QStringLiteral("yyyyMMdd"));
    const QTime t = QTime::fromString(m.captured(2), QStringLiteral("HHmmss"));
    if (!d.isValid() || !t.isValid())
        return false;
    out->folder = name;
    out->when = QDateTime(d, t);
    out->reason = m.captured(3);
    out->n = m.captured(4).isEmpty() ? 1 : m.captured(4).toInt();
    return out->n >= 1;
}

bool newerFirst(const Found &a, const Found &b)
{
    if (a.when != b.when)
        return a.when > b.when;
    return a.n > b.n;
}

// The snapshots under root, newest first. With `checkFiles`, a folder is
// listed only when each file of its manifest is there with its size.
QList<Found> scanSnapshots(const QString &root, bool checkFiles)
{
    QList<Found> list;
    const QDir d(root);
    if (!d.exists())
        return list;
    const QStringList names = d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        Found f;
        if (name.startsWith(u'.') || !parseFolderName(name, &f))
            continue;
        QFile m(d.filePath(name + u'/' + kManifest));
        if (!m.open(QIODevice::ReadOnly) || !parseManifest(m.readAll(), &f.entries))
            continue;
        bool complete = true;
        if (checkFiles) {
            for (const ManifestEntry &e : std::as_const(f.entries)) {
                const QFileInfo fi(d.filePath(name + u'/' + e.name));
                if (!fi.isFile() || fi.size() != e.size) {
                    complete = false;
                    break;
                }
            }
        }
        if (complete)
            list.append(f);
    }
    std::sort(list.begin(), list.end(), newerFirst);
    return list;
}

bool sameContent(QList<ManifestEntry> a, QList<ManifestEntry> b)
{
    const auto byName = [](const ManifestEntry &x, const ManifestEntry &y) { return x.name < y.name; };
    std::sort(a.begin(), a.end(), byName);
    std::sort(b.begin(), b.end(), byName);
    return a == b;
}

MaybeError readChecked(const QString &path, const QString &label, qint64 size, quint64 sum, QByteArray *out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return StoreError{label, 0, QStringLiteral("バックアップの控えが見つかりません")};
    *out = f.readAll();
    if (f.error() != QFileDevice::NoError || (size >= 0 && out->size() != size) ||
        contentChecksum(*out) != sum)
        return StoreError{label, 0, QStringLiteral("バックアップの控えが壊れています")};
    return std::nullopt;
}

void removeHiddenFolders(const QString &root)
{
    const QDir d(root);
    const QStringList names = d.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names)
        if (name.startsWith(u'.'))
            QDir(d.filePath(name)).removeRecursively();
}

} // namespace

// xxHash64 (seed 0), as published by its author; little-endian reads.
quint64 contentChecksum(const QByteArray &bytes)
{
    constexpr quint64 P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full, P3 = 0x165667B19E3779F9ull,
                      P4 = 0x85EBCA77C2B2AE63ull, P5 = 0x27D4EB2F165667C5ull;
    const auto rotl = [](quint64 x, int r) { return (x << r) | (x >> (64 - r)); };
    const auto round = [&](quint64 acc, quint64 in) { return rotl(acc + in * P2, 31) * P1; };
    const auto merge = [&](quint64 acc, quint64 v) { return (acc ^ round(0, v)) * P1 + P4; };
    const auto read64 = [](const uchar *p) {
        quint64 v;
        std::memcpy(&v, p, 8);
        return qFromLittleEndian(v);
    };
    const auto read32 = [](const uchar *p) {
        quint32 v;
        std::memcpy(&v, p, 4);
        return quint64(qFromLittleEndian(v));
    };
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    const quint64 len = quint64(bytes.size());
    const uchar *const end = p + len;
    quint64 h;
    if (len >= 32) {
        quint64 v1 = P1 + P2, v2 = P2, v3 = 0, v4 = 0 - P1;
        const uchar *const limit = end - 32;
        do {
            v1 = round(v1, read64(p));
            v2 = round(v2, read64(p + 8));
            v3 = round(v3, read64(p + 16));
            v4 = round(v4, read64(p + 24));
            p += 32;
        } while (p <= limit);
        h = rotl(v1, 1) + rotl(v2, 7) + rotl(v3, 12) + rotl(v4, 18);
        h = merge(h, v1);
        h = merge(h, v2);
        h = merge(h, v3);
        h = merge(h, v4);
    } else {
        h = P5;
    }
    h += len;
    for (; p + 8 <= end; p += 8)
        h = rotl(h ^ round(0, read64(p)), 27) * P1 + P4;
    if (p + 4 <= end) {
        h = rotl(h ^ (read32(p) * P1), 23) * P2 + P3;
        p += 4;
    }
    for (; p < end; ++p)
        h = rotl(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    h ^= h >> 32;
    return h;
}

QString stepText(const QString &reason)
{
    static const QMap<QString, QString> texts = {
        {QStringLiteral("daily"), QStringLiteral("毎日の控え")},
        {QStringLiteral("append"), QStringLiteral("記録の追加")},
        {QStringLiteral("insert"), QStringLiteral("記録の差し込み")},
        {QStringLiteral("correct"), QStringLiteral("記録の修正")},
        {QStringLiteral("remove"), QStringLiteral("記録の削除")},
        {QStringLiteral("restore"), QStringLiteral("バックアップから戻す")},
        {QStringLiteral("undo"), QStringLiteral("元に戻す")},
        {QStringLiteral("rename"), QStringLiteral("状況名の変更")},
        {QStringLiteral("convert"), QStringLiteral("古いデータの変換")},
        {QStringLiteral("register"), QStringLiteral("新規スタート")},
        {QStringLiteral("profile"), QStringLiteral("プロフィールの保存")},
        {QStringLiteral("import"), QStringLiteral("取り込み")},
        {QStringLiteral("diary"), QStringLiteral("一言日記の保存")},
    };
    return texts.value(reason, reason);
}

QStringList programFiles()
{
    return {dataFileName(PersonSlot::One), dataFileName(PersonSlot::Two),
            profileFileName(PersonSlot::One), profileFileName(PersonSlot::Two),
            situationListFile(), helpSettingFile(), stepSettingFile(), movingAverageSettingFile(),
            autoTimeSettingFile(), markerSettingFile(), memoFile()};
}

namespace detail {

QString backupPath(const DataDir &dir) { return dir.dir().absoluteFilePath(backupFolder()); }

MaybeError ensureFolder(const QString &path)
{
    const QByteArray p = native(path);
    if (::mkdir(p.constData(), 0755) == 0) {
        // The new folder's entry must last, as a file's rename must.
        if (!syncDirectoryPath(QFileInfo(path).absolutePath()))
            return StoreError{QFileInfo(path).fileName(), 0, reasonForErrno(errno)};
        return std::nullopt;
    }
    const int err = errno;
    if (err == EEXIST && QFileInfo(path).isDir())
        return std::nullopt;
    return StoreError{QFileInfo(path).fileName(), 0, reasonForErrno(err)};
}

void discardFolder(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.isDir())
        return;
    // Out of the listing in one step, then removed at leisure.
    const QString aside = fi.absolutePath() + QStringLiteral("/.trash-") + fi.fileName();
    QDir(aside).removeRecursively();
    if (::rename(native(fi.absoluteFilePath()).constData(), native(aside).constData()) == 0) {
        syncDirectoryPath(fi.absolutePath());
        QDir(aside).removeRecursively();
    } else {
        QDir(fi.absoluteFilePath()).removeRecursively();
    }
}

MaybeError readIfExists(const DataDir &dir, const QString &name, QByteArray *bytes, bool *missing)
{
    bytes->clear();
    *missing = !dir.exists(name);
    if (*missing)
        return std::nullopt;
    return readBytes(dir, name, bytes);
}

StoreError backupFailed(const QString &file, const QString &why)
{
    return StoreError{file, 0,
                      QStringLiteral("バックアップを作れなかったため、何も変更していません(%1)").arg(why)};
}

MaybeError takeSnapshotReading(const DataDir &dir, const QString &reason, const QStringList &files,
                               const Clock &clock, const QStringList &keep, SnapshotTaken *out,
                               QMap<QString, QByteArray> *bytes)
{
    static const QRegularExpression word(QStringLiteral("^[a-z]+$"));
    *out = SnapshotTaken{};
    const QString first = files.isEmpty() ? backupFolder() : dir.resolve(files.first());
    if (!word.match(reason).hasMatch())
        return backupFailed(first, QStringLiteral("理由「%1」は使えません").arg(reason));

    // The present content, read once: what is copied is what the caller
    // gets back.
    QList<ManifestEntry> entries;
    QList<QByteArray> contents;
    for (const QString &name : files) {
        QByteArray b;
        bool missing = false;
        if (MaybeError e = readIfExists(dir, name, &b, &missing))
            return backupFailed(e->file, e->message());
        if (bytes && !missing)
            bytes->insert(name, b);
        if (missing)
            continue;
        const QString actual = dir.resolve(name);
        if (std::any_of(entries.cbegin(), entries.cend(), [&](const ManifestEntry &e) { return e.name == actual; }))
            continue;
        ManifestEntry e{actual, b.size(), contentChecksum(b), personOf(actual) ? countRecordLines(b) : -1};
        entries.append(e);
        contents.append(b);
    }
    if (entries.isEmpty())
        return std::nullopt;
    for (const ManifestEntry &e : std::as_const(entries))
        out->files.append(e.name);

    const QString root = backupPath(dir);
    if (MaybeError e = ensureFolder(root))
        return backupFailed(first, e->reason);

    // Not kept twice: the newest snapshot of its kind holds these bytes.
    const bool daily = reason == kDaily;
    const QList<Found> existing = scanSnapshots(root, true);
    for (const Found &f : existing) {
        if (f.isDaily() != daily)
            continue;
        if (sameContent(f.entries, entries)) {
            out->folder = f.folder;
            out->reused = true;
            return std::nullopt;
        }
        break;
    }

    const QString partial = root + u'/' + kPartial;
    QDir(partial).removeRecursively(); // left by a crash; never listed
    auto fail = [&](const QString &why) {
        QDir(partial).removeRecursively();
        *out = SnapshotTaken{};
        return backupFailed(first, why);
    };
    if (MaybeError e = ensureFolder(partial))
        return fail(e->message());
    const DataDir scratch{QDir(partial)};
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString &name = entries.at(i).name;
        if (MaybeError e = replaceFile(scratch, name, scratchNameFor(name), contents.at(i)))
            return fail(e->message());
        QByteArray back;
        if (MaybeError e = readBytes(scratch, name, &back))
            return fail(e->message());
        if (back != contents.at(i))
            return fail(QStringLiteral("「%1」の控えを読み直すと元と違っていました").arg(name));
    }
    if (MaybeError e = replaceFile(scratch, kManifest, scratchNameFor(kManifest), manifestBytes(entries)))
        return fail(e->message());

    // The listed name, in one step: a second snapshot in the same second
    // gets the next number.
    const QDateTime now(clock.today(), clock.timeOfDay());
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    int n = 1;
    for (const Found &f : existing)
        if (f.folder.startsWith(stamp + u'-'))
            n = std::max(n, f.n + 1);
    // Folders of that second that a crash left unlisted count too.
    const QStringList all = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : all) {
        Found f;
        if (name.startsWith(stamp + u'-') && parseFolderName(name, &f))
            n = std::max(n, f.n + 1);
    }
    const DataDir rootDir{QDir(root)};
    for (int attempt = 0;; ++attempt, ++n) {
        const QString name = stamp + u'-' + reason + (n > 1 ? QStringLiteral("-%1").arg(n) : QString());
        const MaybeError e = renameNoReplace(rootDir, kPartial, name);
        if (!e) {
            out->folder = name;
            break;
        }
        if (e->reason != reasonForErrno(EEXIST) || attempt > 100)
            return fail(e->message());
    }

    QStringList kept = keep;
    kept.append(out->folder);
    pruneSnapshots(dir, clock, kept);
    return std::nullopt;
}

} // namespace detail

MaybeError takeSnapshot(const DataDir &dir, const QString &reason, const QStringList &files,
                        const Clock &clock, SnapshotTaken *out)
{
    SnapshotTaken ignored;
    return detail::takeSnapshotReading(dir, reason, files, clock, {}, out ? out : &ignored, nullptr);
}

MaybeError takeDailySnapshot(const DataDir &dir, const Clock &clock, bool *taken)
{
    if (taken)
        *taken = false;
    const QDate today = clock.today();
    for (const Found &f : scanSnapshots(detail::backupPath(dir), true))
        if (f.isDaily() && f.when.date() == today)
            return std::nullopt;
    SnapshotTaken t;
    if (MaybeError e = takeSnapshot(dir, kDaily, programFiles(), clock, &t))
        return e;
    if (taken)
        *taken = !t.folder.isEmpty() && !t.reused;
    return std::nullopt;
}

QList<SnapshotInfo> listSnapshots(const DataDir &dir)
{
    QList<SnapshotInfo> list;
    for (const Found &f : scanSnapshots(detail::backupPath(dir), true)) {
        SnapshotInfo s;
        s.folder = f.folder;
        s.when = f.when;
        s.reason = f.reason;
        for (const ManifestEntry &e : f.entries) {
            s.files.append(e.name);
            if (const int p = personOf(e.name))
                s.records[p - 1] = e.records;
        }
        list.append(s);
    }
    return list;
}

void pruneSnapshots(const DataDir &dir, const Clock &clock, const QStringList &keep)
{
    const QString root = detail::backupPath(dir);
    const QList<Found> all = scanSnapshots(root, false);
    const QDate today = clock.today();
    const QDate firstDay = today.addDays(1 - kKeptDays);
    const QDate thisMonday = today.addDays(1 - today.dayOfWeek());
    const QDate firstMonday = thisMonday.addDays(-7 * (kKeptWeeks - 1));
    const int thisMonth = today.year() * 12 + today.month() - 1;

    QStringList kept = keep;
    int events = 0;
    bool newestDaily = true;
    QSet<QDate> days, weeks;
    QSet<int> months;
    for (const Found &f : all) {
        if (!f.isDaily()) {
            if (events++ < kKeptEventSnapshots)
                kept.append(f.folder);
            continue;
        }
        const QDate d = f.when.date();
        bool keepIt = newestDaily;
        newestDaily = false;
        if (d >= firstDay && !days.contains(d)) {
            days.insert(d);
            keepIt = true;
        }
        const QDate monday = d.addDays(1 - d.dayOfWeek());
        if (monday >= firstMonday && !weeks.contains(monday)) {
            weeks.insert(monday);
            keepIt = true;
        }
        const int month = d.year() * 12 + d.month() - 1;
        if (month > thisMonth - kKeptMonths && !months.contains(month)) {
            months.insert(month);
            keepIt = true;
        }
        if (keepIt)
            kept.append(f.folder);
    }
    for (const Found &f : all)
        if (!kept.contains(f.folder))
            detail::discardFolder(root + u'/' + f.folder);
}

namespace {

// The journal of a multi-file step.
struct Journal {
    QString step;
    bool consumeUndo = false;
    QByteArray undoRecord;
    QList<detail::JournalFile> files;
};

QByteArray journalBytes(const Journal &j)
{
    QString text = QStringLiteral("nanahoshi-journal 1\nstep\t%1\nconsume\t%2\n").arg(j.step).arg(j.consumeUndo ? 1 : 0);
    const auto src = [](const QString &s) { return s.isEmpty() ? QStringLiteral("-") : s; };
    for (const detail::JournalFile &f : j.files)
        text += QStringLiteral("file\t%1\t%2\t%3\t%4\t%5\n")
                    .arg(f.name, src(f.newSource), hex(f.newSum), src(f.oldSource), hex(f.oldSum));
    text += QStringLiteral("undo\t%1\n").arg(QString::fromLatin1(j.undoRecord.toBase64()));
    return text.toUtf8();
}

bool parseJournal(const QByteArray &bytes, Journal *j)
{
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
    if (lines.size() < 4 || lines.first() != QLatin1String("nanahoshi-journal 1"))
        return false;
    const auto src = [](const QString &s) { return s == QLatin1String("-") ? QString() : s; };
    bool undoSeen = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines.at(i).split(u'\t');
        if (f.size() == 2 && f.at(0) == QLatin1String("step")) {
            j->step = f.at(1);
        } else if (f.size() == 2 && f.at(0) == QLatin1String("consume")) {
            j->consumeUndo = f.at(1) == QLatin1String("1");
        } else if (f.size() == 2 && f.at(0) == QLatin1String("undo")) {
            j->undoRecord = QByteArray::fromBase64(f.at(1).toLatin1());
            undoSeen = true;
        } else if (f.size() == 6 && f.at(0) == QLatin1String("file")) {
            detail::JournalFile jf;
            jf.name = f.at(1);
            jf.newSource = src(f.at(2));
            jf.oldSource = src(f.at(4));
            if (!fromHex(f.at(3), &jf.newSum) || !fromHex(f.at(5), &jf.oldSum) || jf.name.isEmpty())
                return false;
            j->files.append(jf);
        } else {
            return false;
        }
    }
    return undoSeen && !j->step.isEmpty() && !j->files.isEmpty();
}

// Whether the file holds what a source describes (empty: does not exist).
bool holds(const DataDir &dir, const QString &name, const QString &source, quint64 sum)
{
    QByteArray b;
    bool missing = false;
    if (detail::readIfExists(dir, name, &b, &missing))
        return false;
    return source.isEmpty() ? missing : !missing && contentChecksum(b) == sum;
}

// Whether every file either holds its target already or has a sound
// source for it.
bool canReach(const DataDir &dir, const QString &root, const QList<detail::JournalFile> &files, bool forward)
{
    for (const detail::JournalFile &f : files) {
        const QString &source = forward ? f.newSource : f.oldSource;
        const quint64 sum = forward ? f.newSum : f.oldSum;
        if (holds(dir, f.name, source, sum) || source.isEmpty())
            continue;
        QByteArray b;
        if (readChecked(root + u'/' + source, f.name, -1, sum, &b))
            return false;
    }
    return true;
}

// Puts every file to its new (forward) or old content.
MaybeError applyJournal(const DataDir &dir, const QString &root, const QList<detail::JournalFile> &files,
                        bool forward)
{
    for (const detail::JournalFile &f : files) {
        const QString &source = forward ? f.newSource : f.oldSource;
        const quint64 sum = forward ? f.newSum : f.oldSum;
        if (holds(dir, f.name, source, sum))
            continue;
        if (source.isEmpty()) {
            if (MaybeError e = removeFile(dir, f.name))
                return e;
            continue;
        }
        QByteArray b;
        if (MaybeError e = readChecked(root + u'/' + source, f.name, -1, sum, &b))
            return e;
        if (MaybeError e = replaceFile(dir, f.name, scratchNameFor(dir.resolve(f.name)), b))
            return e;
    }
    return std::nullopt;
}

// What follows once all files hold their new content.
MaybeError finishJournal(const DataDir &dir, const Journal &j)
{
    MaybeError result;
    if (!j.undoRecord.isEmpty()) {
        if (MaybeError e = detail::writeUndoRecord(dir, j.undoRecord))
            result = StoreError{j.files.first().name, 0,
                                QStringLiteral("変更は済みましたが、元に戻すための記録を書けませんでした(%1)").arg(e->reason)};
    }
    if (j.consumeUndo)
        (void)detail::consumeUndoRecord(dir);
    return result;
}

} // namespace

namespace detail {

MaybeError replaceJournaled(const DataDir &dir, const QString &step, const QList<JournalFile> &files,
                            const QByteArray &undoRecord, bool consumeUndo)
{
    const QString root = backupPath(dir);
    const DataDir rootDir{QDir(root)};
    if (MaybeError e = ensureFolder(root))
        return StoreError{files.first().name, 0, e->reason};
    const Journal j{step, consumeUndo, undoRecord, files};
    if (MaybeError e = replaceFile(rootDir, kJournal, scratchNameFor(kJournal), journalBytes(j)))
        return StoreError{files.first().name, 0, e->reason};

    if (MaybeError e = applyJournal(dir, root, files, true)) {
        // All or none: what was already replaced goes back.
        if (MaybeError back = applyJournal(dir, root, files, false)) {
            return StoreError{e->file, e->line,
                              e->reason + QStringLiteral("。途中までの変更を戻せなかったため、次の起動で続きを行います")};
        }
        (void)removeFile(rootDir, kJournal);
        return e;
    }
    MaybeError result = finishJournal(dir, j);
    (void)removeFile(rootDir, kJournal);
    return result;
}

} // namespace detail

MaybeError restoreSnapshot(const DataDir &dir, const QString &folder, const Clock &clock)
{
    const QString root = detail::backupPath(dir);
    Found f;
    const auto broken = [&] {
        return StoreError{backupFolder() + u'/' + folder, 0, QStringLiteral("このバックアップは見つからないか、壊れています")};
    };
    if (folder.startsWith(u'.') || folder.contains(u'/') || !parseFolderName(folder, &f))
        return broken();
    QFile m(root + u'/' + folder + u'/' + kManifest);
    if (!m.open(QIODevice::ReadOnly) || !parseManifest(m.readAll(), &f.entries))
        return broken();

    // The snapshot is checked whole before anything is written.
    const DataDir snap{QDir(root + u'/' + folder)};
    QStringList names;
    QList<detail::JournalFile> files;
    bool changes = false;
    for (const ManifestEntry &e : std::as_const(f.entries)) {
        QByteArray b;
        if (MaybeError err = readChecked(snap.dir().filePath(e.name), backupFolder() + u'/' + folder + u'/' + e.name,
                                         e.size, e.sum, &b))
            return err;
        if (personOf(e.name)) {
            QList<WeightRecord> records;
            if (MaybeError err = readRecords(snap, e.name, &records))
                return StoreError{backupFolder() + u'/' + folder + u'/' + e.name, err->line, err->reason};
        }
        names.append(e.name);
        detail::JournalFile jf;
        jf.name = e.name;
        jf.newSource = folder + u'/' + e.name;
        jf.newSum = e.sum;
        files.append(jf);
        changes = changes || !holds(dir, e.name, jf.newSource, e.sum);
    }
    if (!changes)
        return std::nullopt; // the files hold this snapshot already
    for (const QString &name : std::as_const(names))
        if (MaybeError e = checkWritable(dir, name))
            return e;

    ChangeOptions options;
    options.keepSnapshots = {folder};
    PendingChange change;
    if (MaybeError e = beginChange(dir, QStringLiteral("restore"), names, clock, options, &change))
        return e;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const UndoFile &u = change.files.at(i);
        detail::JournalFile &jf = files[i];
        jf.oldSource = u.previous == PreviousContent::Missing
                           ? QString()
                           : QStringLiteral("undo/%1/%2").arg(change.generation, u.name);
        jf.oldSum = u.previousSum;
        change.files[i].afterSum = jf.newSum;
        change.files[i].afterSize = f.entries.at(i).size;
        change.files[i].missingAfter = false;
    }
    const MaybeError e = detail::replaceJournaled(dir, QStringLiteral("restore"), files,
                                                  detail::undoRecordBytes(change), false);
    // Unless a journal is left for the next start (it may point into the
    // folder kept for undo), a failed restore does not need that folder.
    if (e && !QFileInfo::exists(root + u'/' + kJournal))
        abandonChange(dir, change);
    return e;
}

MaybeError recoverPending(const DataDir &dir, QString *done)
{
    if (done)
        done->clear();
    const QString root = detail::backupPath(dir);
    if (!QFileInfo(root).isDir())
        return std::nullopt;
    removeHiddenFolders(root);

    const DataDir rootDir{QDir(root)};
    if (QFileInfo(root + u'/' + kJournal).isFile()) {
        QByteArray bytes;
        if (MaybeError e = readBytes(rootDir, kJournal, &bytes))
            return e;
        Journal j;
        if (!parseJournal(bytes, &j))
            return StoreError{backupFolder() + u'/' + kJournal, 0,
                              QStringLiteral("中断した作業の記録が読めません")};
        const QString what = stepText(j.step);
        if (canReach(dir, root, j.files, true)) {
            if (MaybeError e = applyJournal(dir, root, j.files, true))
                return e;
            (void)finishJournal(dir, j);
            if (done)
                *done = QStringLiteral("前回中断した「%1」を最後まで済ませました。").arg(what);
        } else if (canReach(dir, root, j.files, false)) {
            if (MaybeError e = applyJournal(dir, root, j.files, false))
                return e;
            if (done)
                *done = QStringLiteral("前回中断した「%1」を取り消し、その前の内容に戻しました。").arg(what);
        } else {
            return StoreError{backupFolder() + u'/' + kJournal, 0,
                              QStringLiteral("前回中断した「%1」を済ませることも取り消すこともできません。バックアップの控えが見つかりません").arg(what)};
        }
        if (MaybeError e = removeFile(rootDir, kJournal))
            return e;
    }
    // Scratch files of the journal and the undo records: never data.
    QFile::remove(root + u'/' + scratchNameFor(kJournal));
    QFile::remove(root + QStringLiteral("/undo/") + scratchNameFor(QStringLiteral("undo.txt")));
    QFile::remove(root + QStringLiteral("/undo/") + scratchNameFor(QStringLiteral("pending.txt")));
    // A change or an undo cut short between its files and its record.
    detail::settleUndoRecords(dir);
    // A record whose saved content is gone would promise what it cannot do.
    if (checkUndoRecord(dir))
        (void)detail::consumeUndoRecord(dir);
    detail::cleanUndoFolder(dir);
    return std::nullopt;
}

} // namespace store
