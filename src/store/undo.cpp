#include "store/undo.h"

#include "store/backup.h"
#include "store/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace store {

namespace {

const QString kRecord = QStringLiteral("undo.txt");
const QString kPendingRecord = QStringLiteral("pending.txt");
const QString kPartial = QStringLiteral(".partial");

QString hex(quint64 v) { return QStringLiteral("%1").arg(v, 16, 16, QLatin1Char('0')); }

bool fromHex(const QString &s, quint64 *v)
{
    bool ok = false;
    *v = s.toULongLong(&ok, 16);
    return ok && s.size() == 16;
}

QString kindWord(PreviousContent k)
{
    switch (k) {
    case PreviousContent::Copy: return QStringLiteral("copy");
    case PreviousContent::Prefix: return QStringLiteral("prefix");
    case PreviousContent::Missing: return QStringLiteral("missing");
    }
    return {};
}

QString stateWord(RecordState s)
{
    switch (s) {
    case RecordState::Committed: return QStringLiteral("committed");
    case RecordState::Pending: return QStringLiteral("pending");
    case RecordState::Undoing: return QStringLiteral("undoing");
    }
    return {};
}

bool parseRecord(const QByteArray &bytes, PendingChange *c)
{
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.first() != QLatin1String("nanahoshi-undo 1"))
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines.at(i).split(u'\t');
        if (f.size() == 2 && f.at(0) == QLatin1String("step")) {
            c->step = f.at(1);
        } else if (f.size() == 2 && f.at(0) == QLatin1String("when")) {
            c->when = QDateTime::fromString(f.at(1), Qt::ISODate);
        } else if (f.size() == 2 && f.at(0) == QLatin1String("generation")) {
            c->generation = f.at(1);
        } else if (f.size() == 2 && f.at(0) == QLatin1String("state")) {
            if (f.at(1) == stateWord(RecordState::Pending))
                c->state = RecordState::Pending;
            else if (f.at(1) == stateWord(RecordState::Undoing))
                c->state = RecordState::Undoing;
            else
                return false;
        } else if (f.size() == 8 && f.at(0) == QLatin1String("file")) {
            UndoFile u;
            u.name = f.at(1);
            const QString &kind = f.at(2);
            u.previous = kind == QLatin1String("copy")     ? PreviousContent::Copy
                         : kind == QLatin1String("prefix") ? PreviousContent::Prefix
                                                           : PreviousContent::Missing;
            bool ok1 = false, ok2 = false;
            u.previousSize = f.at(3).toLongLong(&ok1);
            u.missingAfter = f.at(5) == QLatin1String("-");
            u.afterKnown = f.at(5) != QLatin1String("?");
            u.afterSize = u.missingAfter || !u.afterKnown ? 0 : f.at(5).toLongLong(&ok2);
            if (kind != kindWord(u.previous) || !ok1 || (!u.missingAfter && u.afterKnown && !ok2) ||
                !fromHex(f.at(4), &u.previousSum) || !fromHex(f.at(6), &u.afterSum) || u.name.isEmpty() ||
                u.name.contains(u'/') || f.at(7) != QLatin1String("."))
                return false;
            c->files.append(u);
        } else {
            return false;
        }
    }
    // Only a pending record may leave what its step leaves open.
    for (const UndoFile &u : std::as_const(c->files))
        if (!u.afterKnown && c->state != RecordState::Pending)
            return false;
    return !c->step.isEmpty() && c->when.isValid() && !c->generation.isEmpty() &&
           !c->generation.contains(u'/') && !c->generation.startsWith(u'.') && !c->files.isEmpty();
}

// The record, when there is one and it reads.
enum class Record { None, Present, Damaged };
Record readRecord(const DataDir &dir, PendingChange *c, const QString &name = kRecord)
{
    QFile f(detail::undoPath(dir) + u'/' + name);
    if (!f.exists())
        return Record::None;
    if (!f.open(QIODevice::ReadOnly))
        return Record::Damaged;
    return parseRecord(f.readAll(), c) ? Record::Present : Record::Damaged;
}

QString generationPath(const DataDir &dir, const QString &generation)
{
    return detail::undoPath(dir) + u'/' + generation;
}

bool syncDirectoryPath(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

// A copy of `bytes` in a folder, synced and read back.
MaybeError writeChecked(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const DataDir d{QDir(folder)};
    if (MaybeError e = replaceFile(d, name, scratchNameFor(name), bytes))
        return e;
    QByteArray back;
    if (MaybeError e = readBytes(d, name, &back))
        return e;
    if (back != bytes)
        return StoreError{name, 0, QStringLiteral("控えを読み直すと元と違っていました")};
    return std::nullopt;
}

// The previous bytes of one file of the record, checked against it.
MaybeError previousBytes(const DataDir &dir, const PendingChange &c, const UndoFile &u,
                         const QByteArray &now, QByteArray *out)
{
    const StoreError broken{u.name, 0, QStringLiteral("元に戻すための控えが見つからないか、壊れています")};
    switch (u.previous) {
    case PreviousContent::Missing:
        out->clear();
        return std::nullopt;
    case PreviousContent::Prefix:
        if (now.size() < u.previousSize)
            return broken;
        *out = now.left(u.previousSize);
        break;
    case PreviousContent::Copy: {
        QFile f(generationPath(dir, c.generation) + u'/' + u.name);
        if (!f.open(QIODevice::ReadOnly))
            return broken;
        *out = f.readAll();
        break;
    }
    }
    if (out->size() != u.previousSize || contentChecksum(*out) != u.previousSum)
        return broken;
    return std::nullopt;
}

// Whether the file holds exactly what the change left.
bool holdsWhatWasLeft(const DataDir &dir, const UndoFile &u, QByteArray *now = nullptr, bool *missing = nullptr)
{
    QByteArray b;
    bool gone = false;
    if (detail::readIfExists(dir, u.name, &b, &gone))
        return false;
    const bool same = u.missingAfter ? gone : !gone && b.size() == u.afterSize && contentChecksum(b) == u.afterSum;
    if (now)
        *now = std::move(b);
    if (missing)
        *missing = gone;
    return same;
}

// Whether the file holds exactly its content before the change.
bool holdsPrevious(const DataDir &dir, const UndoFile &u)
{
    QByteArray b;
    bool gone = false;
    if (detail::readIfExists(dir, u.name, &b, &gone))
        return false;
    if (u.previous == PreviousContent::Missing)
        return gone;
    return !gone && b.size() == u.previousSize && contentChecksum(b) == u.previousSum;
}

// An undo marked as under way, settled from what the files hold: put
// back already, the record is used up; not begun, it is offered again;
// anything else, it no longer describes the files and goes.
void settleUndoing(const DataDir &dir)
{
    PendingChange c;
    if (readRecord(dir, &c) != Record::Present || c.state != RecordState::Undoing)
        return;
    bool previous = true, left = true;
    for (const UndoFile &u : std::as_const(c.files)) {
        previous = previous && holdsPrevious(dir, u);
        left = left && holdsWhatWasLeft(dir, u);
    }
    if (left && !previous) {
        c.state = RecordState::Committed;
        if (!detail::writeUndoRecord(dir, detail::undoRecordBytes(c)))
            return;
    }
    (void)detail::consumeUndoRecord(dir);
}

MaybeError removePendingRecord(const DataDir &dir)
{
    const DataDir undoDir{QDir(detail::undoPath(dir))};
    if (!undoDir.dir().exists(kPendingRecord))
        return std::nullopt;
    return removeFile(undoDir, kPendingRecord);
}

} // namespace

namespace detail {

QString undoPath(const DataDir &dir) { return backupPath(dir) + QStringLiteral("/undo"); }

QByteArray undoRecordBytes(const PendingChange &c)
{
    QString text = QStringLiteral("nanahoshi-undo 1\nstep\t%1\nwhen\t%2\ngeneration\t%3\n")
                       .arg(c.step, c.when.toString(Qt::ISODate), c.generation);
    // A committed record has no state line, as records always had.
    if (c.state != RecordState::Committed)
        text += QStringLiteral("state\t%1\n").arg(stateWord(c.state));
    for (const UndoFile &u : c.files) {
        const bool known = u.afterKnown || c.state != RecordState::Pending;
        const QString afterSize = !known          ? QStringLiteral("?")
                                  : u.missingAfter ? QStringLiteral("-")
                                                   : QString::number(u.afterSize);
        text += QStringLiteral("file\t%1\t%2\t%3\t%4\t%5\t%6\t.\n")
                    .arg(u.name, kindWord(u.previous))
                    .arg(u.previousSize)
                    .arg(hex(u.previousSum), afterSize, hex(known ? u.afterSum : 0));
    }
    return text.toUtf8();
}

MaybeError writeUndoRecord(const DataDir &dir, const QByteArray &record)
{
    const QString path = undoPath(dir);
    if (MaybeError e = ensureFolder(backupPath(dir)))
        return e;
    if (MaybeError e = ensureFolder(path))
        return e;
    PendingChange c;
    if (!parseRecord(record, &c))
        return StoreError{kRecord, 0, QStringLiteral("元に戻すための記録が正しくありません")};
    if (MaybeError e = replaceFile(DataDir{QDir(path)}, kRecord, scratchNameFor(kRecord), record))
        return e;
    // Only now is the previous record's folder no longer pointed at.
    cleanUndoFolder(dir, {c.generation});
    return std::nullopt;
}

MaybeError consumeUndoRecord(const DataDir &dir)
{
    PendingChange c;
    const Record r = readRecord(dir, &c);
    if (r == Record::None)
        return std::nullopt;
    if (MaybeError e = removeFile(DataDir{QDir(undoPath(dir))}, kRecord))
        return e;
    if (r == Record::Present)
        discardFolder(generationPath(dir, c.generation));
    return std::nullopt;
}

void cleanUndoFolder(const DataDir &dir, const QStringList &keepGenerations)
{
    const QString path = undoPath(dir);
    const QDir d(path);
    if (!d.exists())
        return;
    QStringList keep = keepGenerations;
    PendingChange c;
    if (readRecord(dir, &c) == Record::Present)
        keep.append(c.generation);
    PendingChange p;
    if (readRecord(dir, &p, kPendingRecord) == Record::Present)
        keep.append(p.generation);
    const QStringList names = d.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (name.startsWith(u'.'))
            QDir(d.filePath(name)).removeRecursively();
        else if (!keep.contains(name))
            discardFolder(d.filePath(name));
    }
}

bool changeHappened(const DataDir &dir, PendingChange &change)
{
    bool previous = true, after = true;
    for (UndoFile &u : change.files) {
        QByteArray b;
        bool gone = false;
        if (readIfExists(dir, u.name, &b, &gone))
            return false;
        const bool wasPrevious = holdsPrevious(dir, u);
        bool isAfter = false;
        if (u.afterKnown) {
            isAfter = u.missingAfter ? gone : !gone && b.size() == u.afterSize && contentChecksum(b) == u.afterSum;
        } else if (u.previous == PreviousContent::Prefix) {
            // An append: the old bytes and whole lines after them (a line
            // cut short is set aside by the start, giving the old file).
            isAfter = wasPrevious || (!gone && b.size() > u.previousSize && b.endsWith('\n') &&
                                      contentChecksum(b.left(u.previousSize)) == u.previousSum);
        } else {
            isAfter = true; // a whole-file write leaves whatever it wrote
        }
        previous = previous && wasPrevious;
        after = after && isAfter;
        u.missingAfter = gone;
        u.afterSize = b.size();
        u.afterSum = contentChecksum(b);
        u.afterKnown = true;
    }
    return after && !previous;
}

void settleUndoRecords(const DataDir &dir)
{
    PendingChange p;
    const Record r = readRecord(dir, &p, kPendingRecord);
    if (r != Record::None) {
        if (r == Record::Present && p.state == RecordState::Pending && changeHappened(dir, p)) {
            // The step wrote its files: it becomes the record, as its
            // commit would have made it.
            p.state = RecordState::Committed;
            if (writeUndoRecord(dir, undoRecordBytes(p)))
                return; // tried again at the next start
        }
        // Its folder, unless it is the record's now, goes with the rest.
        (void)removePendingRecord(dir);
    }
    settleUndoing(dir);
}

} // namespace detail

MaybeError beginChange(const DataDir &dir, const QString &step, const QStringList &files,
                       const Clock &clock, const ChangeOptions &options, PendingChange *out)
{
    *out = PendingChange{};
    out->step = step;
    out->when = QDateTime(clock.today(), clock.timeOfDay());
    const QString first = files.isEmpty() ? QString() : dir.resolve(files.first());

    QMap<QString, QByteArray> bytes;
    SnapshotTaken taken;
    if (options.backup == BackupFirst::Yes) {
        if (MaybeError e = detail::takeSnapshotReading(dir, step, files, clock, options.keepSnapshots,
                                                       &taken, &bytes))
            return e;
        out->snapshot = taken.folder;
    } else {
        for (const QString &name : files) {
            QByteArray b;
            bool missing = false;
            if (MaybeError e = detail::readIfExists(dir, name, &b, &missing))
                return e;
            if (!missing)
                bytes.insert(name, b);
        }
    }
    if (options.expected) {
        for (auto it = options.expected->cbegin(); it != options.expected->cend(); ++it) {
            if (bytes.value(it.key()) != it.value() || !bytes.contains(it.key()))
                return StoreError{dir.resolve(it.key()), 0,
                                  QStringLiteral("読み込んだあとで、ほかのプログラムに書き換えられています。"
                                                 "画面を開き直してから、もう一度操作してください")};
        }
    }

    const QString undo = detail::undoPath(dir);
    const QString partial = undo + u'/' + kPartial;
    const auto fail = [&](const QString &why) {
        QDir(partial).removeRecursively();
        return detail::backupFailed(first, why);
    };
    if (MaybeError e = detail::ensureFolder(detail::backupPath(dir)))
        return fail(e->message());
    if (MaybeError e = detail::ensureFolder(undo))
        return fail(e->message());
    QDir(partial).removeRecursively(); // left by a crash
    if (MaybeError e = detail::ensureFolder(partial))
        return fail(e->message());

    bool linked = false;
    for (const QString &name : files) {
        UndoFile u;
        u.name = dir.resolve(name);
        if (!bytes.contains(name)) {
            u.previous = PreviousContent::Missing;
            out->files.append(u);
            continue;
        }
        const QByteArray &b = bytes[name];
        u.previous = options.kept;
        u.previousSize = b.size();
        u.previousSum = contentChecksum(b);
        out->previousBytes.insert(u.name, b);
        if (u.previous == PreviousContent::Copy) {
            // The snapshot's copy was checked already and is never written
            // again: a second name for it costs nothing.
            const QString source = detail::backupPath(dir) + u'/' + taken.folder + u'/' + u.name;
            const QString target = partial + u'/' + u.name;
            if (!taken.folder.isEmpty() && taken.files.contains(u.name) &&
                ::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0) {
                linked = true;
            } else if (MaybeError e = writeChecked(partial, u.name, b)) {
                return fail(e->message());
            }
        }
        out->files.append(u);
    }
    if (linked && !syncDirectoryPath(partial))
        return fail(reasonForErrno(errno));

    // The folder's name, in one step; the record still points at the
    // previous one.
    int n = 0;
    const QStringList names = QDir(undo).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names)
        if (name.startsWith(u'g'))
            n = std::max(n, name.mid(1).toInt());
    const DataDir undoDir{QDir(undo)};
    for (int attempt = 0;; ++attempt) {
        const QString name = QStringLiteral("g%1").arg(++n);
        const MaybeError e = renameNoReplace(undoDir, kPartial, name);
        if (!e) {
            out->generation = name;
            break;
        }
        if (e->reason != reasonForErrno(EEXIST) || attempt > 100)
            return fail(e->message());
    }
    return std::nullopt;
}

MaybeError markChangePending(const DataDir &dir, PendingChange &change, const QMap<QString, QByteArray> *after)
{
    change.state = RecordState::Pending;
    for (UndoFile &u : change.files) {
        u.afterKnown = after && after->contains(u.name);
        if (!u.afterKnown)
            continue;
        const QByteArray &b = (*after)[u.name];
        u.missingAfter = false;
        u.afterSize = b.size();
        u.afterSum = contentChecksum(b);
    }
    const QString undo = detail::undoPath(dir);
    MaybeError e = detail::ensureFolder(undo);
    if (!e)
        e = replaceFile(DataDir{QDir(undo)}, kPendingRecord, scratchNameFor(kPendingRecord),
                        detail::undoRecordBytes(change));
    if (e)
        return detail::backupFailed(change.files.isEmpty() ? QString() : change.files.first().name, e->reason);
    return std::nullopt;
}

MaybeError commitChange(const DataDir &dir, PendingChange &change)
{
    change.state = RecordState::Committed;
    MaybeError e;
    for (UndoFile &u : change.files) {
        QByteArray b;
        bool missing = false;
        if ((e = detail::readIfExists(dir, u.name, &b, &missing)))
            break;
        u.missingAfter = missing;
        u.afterSize = b.size();
        u.afterSum = contentChecksum(b);
        u.afterKnown = true;
    }
    if (!e)
        e = detail::writeUndoRecord(dir, detail::undoRecordBytes(change));
    if (e) {
        abandonChange(dir, change);
        return StoreError{change.files.isEmpty() ? QString() : change.files.first().name, 0,
                          QStringLiteral("変更は保存しましたが、元に戻すための記録を書けませんでした(%1)").arg(e->reason)};
    }
    // Should this fail, the next start finds the pending record holding
    // what the record already says, and makes the same record again.
    (void)removePendingRecord(dir);
    return std::nullopt;
}

void abandonChange(const DataDir &dir, const PendingChange &change)
{
    if (change.generation.isEmpty())
        return;
    // The pending record first, so none points at a folder that is gone.
    PendingChange pending;
    if (readRecord(dir, &pending, kPendingRecord) == Record::Present && pending.generation == change.generation)
        (void)removePendingRecord(dir);
    PendingChange current;
    if (readRecord(dir, &current) == Record::Present && current.generation == change.generation)
        return; // it became the record after all
    detail::discardFolder(generationPath(dir, change.generation));
}

UndoState undoState(const DataDir &dir)
{
    UndoState s;
    PendingChange c;
    // An undo under way (settled by the next start) is not offered.
    if (readRecord(dir, &c) != Record::Present || c.state != RecordState::Committed)
        return s;
    s.available = true;
    s.applies = true;
    s.step = c.step;
    s.when = c.when;
    for (const UndoFile &u : std::as_const(c.files)) {
        s.files.append(u.name);
        s.applies = s.applies && holdsWhatWasLeft(dir, u);
    }
    return s;
}

MaybeError checkUndoRecord(const DataDir &dir)
{
    PendingChange c;
    switch (readRecord(dir, &c)) {
    case Record::None: return std::nullopt;
    case Record::Damaged: return StoreError{kRecord, 0, QStringLiteral("元に戻すための記録が読めません")};
    case Record::Present: break;
    }
    if (!QFileInfo(generationPath(dir, c.generation)).isDir())
        return StoreError{kRecord, 0, QStringLiteral("元に戻すための控えが見つかりません")};
    for (const UndoFile &u : std::as_const(c.files)) {
        if (u.previous != PreviousContent::Copy)
            continue;
        QByteArray b;
        if (MaybeError e = previousBytes(dir, c, u, QByteArray(), &b))
            return e;
    }
    return std::nullopt;
}

MaybeError undoLastChange(const DataDir &dir, const Clock &clock)
{
    PendingChange c;
    switch (readRecord(dir, &c)) {
    case Record::None: return StoreError{QString(), 0, QStringLiteral("元に戻せる変更はありません")};
    case Record::Damaged: return StoreError{kRecord, 0, QStringLiteral("元に戻すための記録が読めません")};
    case Record::Present: break;
    }
    if (c.state != RecordState::Committed)
        return StoreError{QString(), 0, QStringLiteral("元に戻せる変更はありません")};

    // Every file must hold exactly what the change left, and its previous
    // content must be at hand, before anything is written.
    QList<QByteArray> previous;
    QStringList names;
    for (const UndoFile &u : std::as_const(c.files)) {
        QByteArray now;
        bool missing = false;
        if (MaybeError e = detail::readIfExists(dir, u.name, &now, &missing))
            return e;
        if (!holdsWhatWasLeft(dir, u, &now, &missing))
            return StoreError{dir.resolve(u.name), 0,
                              QStringLiteral("「%1」のあとで書き換えられているため、元に戻せません。何も変更していません")
                                  .arg(stepText(c.step))};
        QByteArray before;
        if (MaybeError e = previousBytes(dir, c, u, now, &before))
            return e;
        previous.append(before);
        names.append(u.name);
        if (!missing)
            if (MaybeError e = checkWritable(dir, u.name))
                return e;
    }

    SnapshotTaken taken;
    QMap<QString, QByteArray> present;
    if (MaybeError e = detail::takeSnapshotReading(dir, QStringLiteral("undo"), names, clock, {}, &taken, &present))
        return e;

    // Several files go back through the journal, which needs their
    // previous content as copies.
    QList<detail::JournalFile> files;
    if (c.files.size() > 1) {
        for (qsizetype i = 0; i < c.files.size(); ++i) {
            const UndoFile &u = c.files.at(i);
            if (u.previous == PreviousContent::Prefix) {
                if (MaybeError e = writeChecked(generationPath(dir, c.generation), u.name, previous.at(i)))
                    return detail::backupFailed(u.name, e->reason);
            }
            detail::JournalFile jf;
            jf.name = u.name;
            if (u.previous != PreviousContent::Missing)
                jf.newSource = QStringLiteral("undo/%1/%2").arg(c.generation, u.name);
            jf.newSum = u.previousSum;
            if (!u.missingAfter)
                jf.oldSource = taken.folder + u'/' + dir.resolve(u.name);
            jf.oldSum = u.afterSum;
            files.append(jf);
        }
    }

    // Marked as under way before the first file changes: a crash from here
    // on is settled by the next start from what the files hold.
    c.state = RecordState::Undoing;
    if (MaybeError e = detail::writeUndoRecord(dir, detail::undoRecordBytes(c))) {
        settleUndoing(dir); // in case the mark got through after all
        return e;
    }

    MaybeError e;
    if (c.files.size() == 1) {
        const UndoFile &u = c.files.first();
        e = u.previous == PreviousContent::Missing
                ? removeFile(dir, u.name)
                : replaceFile(dir, u.name, scratchNameFor(dir.resolve(u.name)), previous.first());
        if (!e) {
            (void)detail::consumeUndoRecord(dir); // used up: one level only
            return std::nullopt;
        }
    } else {
        e = detail::replaceJournaled(dir, QStringLiteral("undo"), files, QByteArray(), true);
        if (!e)
            return std::nullopt;
    }
    // Failed: unless a journal is left for the next start, the record is
    // offered again when the files are as the change left them (or used
    // up when the undo got through after all).
    if (!QFileInfo::exists(detail::backupPath(dir) + QStringLiteral("/journal.txt")))
        settleUndoing(dir);
    return e;
}

} // namespace store
