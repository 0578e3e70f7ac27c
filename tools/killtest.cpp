// The kill campaign: every kind of write the store makes, run in a child
// process on a scratch copy of a data directory and killed with SIGKILL at
// a random moment, N times per kind. After each kill the next start's
// clean-up runs (store::cleanUpAfterCrash), and then:
//  - every file is as before the write or as after it: the directory tree
//    as a whole is one of the two (an append: the old file, or the old file
//    and the one whole new line);
//  - every file of the program reads without a fault (nothing half-done
//    is readable);
//  - no scratch file or journal is left;
//  - the undo record points at content that is there (and, as part of the
//    whole tree being old or new, matches the files).
// Prints a table (kind, kills, old, new, anything else) and ends with 1
// when anything else was found.
//
//   killtest [--kills N] [--dir D] [--kinds a,b,...] [--seed S] [--list]
//
// --dir is where the scratch copies go (default: a temporary directory);
// give a directory on a disk, not tmpfs, for the real campaign. The child
// is a fork of this process, so nothing but the write runs in it.
#include "store/backup.h"
#include "store/cleanup.h"
#include "store/clock.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/file_io.h"
#include "store/first_start.h"
#include "store/journal.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/record.h"
#include "store/record_edit.h"
#include "store/settings_files.h"
#include "store/situation_file.h"
#include "store/undo.h"
#include "store/codec.h"
#include "store/csv_files.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The day every step believes it is, so that a snapshot's name and
// everything else a write makes is the same in every round.
class FixedClock final : public Clock {
public:
    QDate today() const override { return QDate(2026, 12, 8); }
    QTime timeOfDay() const override { return QTime(9, 5, 7); }
    qint64 elapsedMs() const override { return elapsed_ += 100; }
    void pause(int ms) const override { elapsed_ += ms; }

private:
    mutable qint64 elapsed_ = 0;
};

const FixedClock g_clock;

QString data1() { return dataFileName(PersonSlot::One); }
QString data2() { return dataFileName(PersonSlot::Two); }

WeightRecord record(int i)
{
    WeightRecord r;
    r.date = dates::text(QDate(2020, 1, 1).addDays(i / 3));
    r.situation = i % 4 == 0 ? QStringLiteral("起床後") : QStringLiteral("夕食後%1").arg(i % 7);
    r.weight = 60.0f + float(i % 97) / 10.0f;
    r.diary = (i % 2) ? QStringLiteral("表ソ～①ｶﾀｶﾅ %1").arg(i) : QString();
    return r;
}

[[noreturn]] void die(const QString &what)
{
    std::fprintf(stderr, "killtest: %s\n", what.toUtf8().constData());
    std::exit(2);
}

void must(const MaybeError &e, const char *what)
{
    if (e)
        die(QStringLiteral("%1: %2").arg(QLatin1String(what), e->message()));
}

// The directory every kind starts from: both persons, the settings, the
// list, the memo and an older single-person file.
void writeBase(const DataDir &dir)
{
    QList<WeightRecord> one, two;
    for (int i = 0; i < 900; ++i)
        one.append(record(i));
    for (int i = 0; i < 60; ++i)
        two.append(record(i * 5));
    must(store::rewriteRecords(dir, data1(), one, store::insertScratchName()), "base");
    must(store::rewriteRecords(dir, data2(), two, store::insertScratchName()), "base");
    must(store::saveProfile(dir, profileFileName(PersonSlot::One), PersonProfile{QStringLiteral("はなこ"), 158.5f, 50}), "base");
    must(store::saveProfile(dir, profileFileName(PersonSlot::Two), PersonProfile{QStringLiteral("たろう"), 171, 65}), "base");
    must(store::createDefaultFiles(dir), "base");
    QStringList labels = store::defaults().situations;
    for (int i = 0; i < 7; ++i)
        labels.append(QStringLiteral("夕食後%1").arg(i));
    must(store::writeSituationListBare(dir, labels), "base");
    must(store::writeMemo(dir, QStringLiteral("はじめのメモ\n二行目 表ソ")), "base");
    QString legacy;
    for (int i = 0; i < 400; ++i)
        legacy += QStringLiteral("%1,\"夕食後\",%2\r\n").arg(dates::text(QDate(1999, 1, 1).addDays(i))).arg(70.0 - (i % 30) / 10.0);
    QString error;
    QFile f(dir.dir().filePath(store::legacyDataFile()));
    const QByteArray bytes = cp932::encode(legacy, &error);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        die(QStringLiteral("cannot write the older file"));
    store::forgetRememberedContents();
}

struct Kind {
    QString name;
    // Extra preparation of the kind's starting directory (may be empty).
    std::function<void(const DataDir &)> prepare;
    std::function<MaybeError(const DataDir &)> write;
    bool append = false;
};

store::RecordRef refTo(const DataDir &dir, int index)
{
    QList<WeightRecord> rs;
    must(store::readRecords(dir, data1(), &rs), "read");
    return store::RecordRef{index, rs.at(index)};
}

// The CSV file the import kind reads: beside the data directory, as a
// user's file would be, not in it.
QString importFile(const DataDir &dir)
{
    return QFileInfo(dir.dir().absolutePath()).dir().filePath(QStringLiteral("import.csv"));
}

// Records the import adds: most on days person 1 already has (so they go
// in mid-file, after that day's records), some before the first day and
// some after the last.
constexpr int kImported = 36;

// An export of another person's diary, in the program's own layout, with
// three lines person 1 already has (skipped as duplicates) and one line
// that cannot be read (skipped as bad).
QByteArray importCsv()
{
    QList<WeightRecord> rs;
    for (int i = 0; i < kImported; ++i) {
        WeightRecord r;
        const QDate day = i < 4    ? QDate(2019, 12, 20).addDays(i)
                          : i < 30 ? QDate(2020, 1, 1).addDays(11 * (i - 4) + 3)
                                   : QDate(2020, 11, 2).addDays(i - 30);
        r.date = dates::text(day);
        r.situation = i % 3 ? QStringLiteral("取り込み") : QStringLiteral("取り込み%1").arg(i);
        r.weight = 55.0f + float(i) / 4.0f;
        r.diary = i % 2 ? QStringLiteral("別の記録から、表ソ～①ｶﾀｶﾅ %1").arg(i) : QString();
        rs.append(r);
        if (i % 12 == 5)
            rs.append(record(30 * i)); // a record person 1 has
    }
    QByteArray bytes = csv::exportRecords(rs, csv::Layout::Own);
    bytes += "2020/02/30,取り込み,60.0,\r\n";
    return bytes;
}

// The import as the window and the command line make it: read the file,
// plan it against person 1's data file, write it.
MaybeError importIntoPersonOne(const DataDir &d)
{
    QByteArray bytes;
    if (MaybeError e = csv::readImportFile(importFile(d), &bytes))
        return e;
    csv::ImportBase base;
    if (MaybeError e = csv::readImportBase(d, PersonSlot::One, &base))
        return e;
    const csv::ImportPlan plan = csv::planImport(bytes, base.records);
    if (!plan.canImport() || plan.toAdd.size() != kImported || plan.duplicates != 3 || plan.badLines.size() != 1)
        return StoreError{importFile(d), 0,
                          QStringLiteral("the import is not the planned one: %1").arg(csv::previewText(plan))};
    return csv::applyImport(d, base, plan, g_clock);
}

QList<Kind> kinds()
{
    QList<Kind> k;
    k.append({QStringLiteral("append"), {}, [](const DataDir &d) {
                  WeightRecord r = record(900 * 3);
                  r.situation = QStringLiteral("追記");
                  return store::appendRecord(d, data1(), r);
              }, true});
    k.append({QStringLiteral("insert"), {}, [](const DataDir &d) {
                  WeightRecord r = record(450);
                  r.situation = QStringLiteral("差し込み");
                  return store::insertRecordInOrder(d, data1(), r);
              }});
    k.append({QStringLiteral("diary"), {}, [](const DataDir &d) {
                  QList<WeightRecord> rs;
                  if (MaybeError e = store::readRecords(d, data1(), &rs))
                      return e;
                  rs[3].diary = QStringLiteral("書き直した一言日記 表ソ～");
                  return store::rewriteRecords(d, data1(), rs, store::scratchNameFor(d.resolve(data1())));
              }});
    k.append({QStringLiteral("start"), {}, [](const DataDir &d) {
                  return store::writeStartRecord(d, data2(), record(5));
              }});
    k.append({QStringLiteral("profile"), {}, [](const DataDir &d) {
                  return store::saveProfile(d, profileFileName(PersonSlot::One),
                                            PersonProfile{QStringLiteral("花子"), 158.7f, 58.7f});
              }});
    k.append({QStringLiteral("settings"), {}, [](const DataDir &d) {
                  return store::writeStepText(d, QStringLiteral("0.25"));
              }});
    k.append({QStringLiteral("memo"), {}, [](const DataDir &d) {
                  return store::writeMemo(d, QStringLiteral("新しいメモ\n\n二段落目 ｶﾀｶﾅ 表"));
              }});
    k.append({QStringLiteral("list-rewrite"), {}, [](const DataDir &d) {
                  QStringList labels;
                  if (MaybeError e = store::readSituationList(d, &labels))
                      return e;
                  std::reverse(labels.begin(), labels.end());
                  return store::writeSituationListBare(d, labels);
              }});
    k.append({QStringLiteral("list-append"), {}, [](const DataDir &d) {
                  return store::appendSituationQuoted(d, QStringLiteral("散歩の後"));
              }, true});
    k.append({QStringLiteral("rename"), {}, [](const DataDir &d) {
                  return store::renameSituation(d, data1(), QStringLiteral("起床後"), QStringLiteral("目覚め"));
              }});
    k.append({QStringLiteral("conversion"), {}, [](const DataDir &d) {
                  return store::convertLegacyData(d, data1());
              }});
    k.append({QStringLiteral("registration"),
              [](const DataDir &d) {
                  QFile::remove(d.path(data2()));
                  QFile::remove(d.path(profileFileName(PersonSlot::Two)));
              },
              [](const DataDir &d) {
                  return store::registerPerson(d, PersonSlot::Two, PersonProfile{QStringLiteral("じろう"), 165, 60},
                                               record(7));
              }});
    k.append({QStringLiteral("correction"), {}, [](const DataDir &d) {
                  WeightRecord r = refTo(d, 10).record;
                  r.weight = 61.5f;
                  r.diary = QStringLiteral("直した");
                  return store::correctRecord(d, data1(), refTo(d, 10), r, g_clock);
              }});
    k.append({QStringLiteral("removal"), {}, [](const DataDir &d) {
                  return store::removeRecord(d, data1(), refTo(d, 20), g_clock);
              }});
    k.append({QStringLiteral("backup"), {}, [](const DataDir &d) {
                  return store::takeSnapshot(d, QStringLiteral("daily"), store::programFiles(), g_clock);
              }});
    // Prepared with a correction, so that the step has an undo record to
    // replace: killed before the import, that record must still stand.
    k.append({QStringLiteral("import"),
              [](const DataDir &d) {
                  WeightRecord r = refTo(d, 40).record;
                  r.weight = 58.5f;
                  must(store::correctRecord(d, data1(), refTo(d, 40), r, g_clock), "prepare import");
                  QFile f(importFile(d));
                  const QByteArray bytes = importCsv();
                  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                      die(QStringLiteral("cannot write the file to import"));
              },
              importIntoPersonOne});
    k.append({QStringLiteral("undo"),
              [](const DataDir &d) {
                  WeightRecord r = refTo(d, 30).record;
                  r.weight = 59.5f;
                  must(store::correctRecord(d, data1(), refTo(d, 30), r, g_clock), "prepare undo");
              },
              [](const DataDir &d) { return store::undoLastChange(d, g_clock); }});
    k.append({QStringLiteral("restore"),
              [](const DataDir &d) {
                  must(store::takeSnapshot(d, QStringLiteral("daily"), store::programFiles(), g_clock),
                       "prepare restore");
                  must(store::writeMemo(d, QStringLiteral("後で書いたメモ")), "prepare restore");
                  WeightRecord r = record(900 * 3 + 3);
                  must(store::appendRecord(d, data1(), r), "prepare restore");
              },
              [](const DataDir &d) {
                  const QList<store::SnapshotInfo> list = store::listSnapshots(d);
                  if (list.isEmpty())
                      return MaybeError(StoreError{QStringLiteral("backup"), 0, QStringLiteral("no snapshot")});
                  return store::restoreSnapshot(d, list.first().folder, g_clock);
              }});
    return k;
}

// Every file under a directory, by its path below it.
using Tree = QMap<QString, QByteArray>;

Tree treeOf(const QString &root)
{
    Tree t;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        t.insert(base.relativeFilePath(path), f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return t;
}

void clear(const QString &root)
{
    QDir d(root);
    d.removeRecursively();
    QDir().mkpath(root);
}

void copyTree(const QString &from, const QString &to)
{
    clear(to);
    const Tree t = treeOf(from);
    for (auto it = t.cbegin(); it != t.cend(); ++it) {
        const QString path = QDir(to).filePath(it.key());
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            die(QStringLiteral("cannot copy %1").arg(path));
    }
}

// Puts the copied tree on the disk before a child starts, so that the
// child's first sync does not also flush the copy: the moments of the
// kills then spread over the step itself.
void flushToDisk(const QString &root)
{
    const int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        die(QStringLiteral("cannot open %1").arg(root));
    if (::syncfs(fd) != 0)
        die(QStringLiteral("cannot sync %1").arg(root));
    ::close(fd);
}

// Scratch files as a crash leaves them, to be found by a write and by the
// next start.
void plantScratch(const DataDir &dir)
{
    for (const QString &p : store::ownScratchPaths(dir)) {
        if (!p.startsWith(dir.dir().absolutePath()))
            continue;
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write("left by a crash");
    }
}

qint64 nowNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Child {
    pid_t pid = -1;
    int out = -1;
};

// Forks a child that makes the write once: it says 'g' just before the
// write and ends with 0 when the write succeeded.
Child startChild(const Kind &k, const DataDir &dir)
{
    int fds[2];
    if (::pipe(fds) != 0)
        die(QStringLiteral("pipe"));
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        die(QStringLiteral("fork"));
    if (pid == 0) {
        ::close(fds[0]);
        store::forgetRememberedContents();
        (void)!::write(fds[1], "g", 1);
        const MaybeError e = k.write(dir);
        if (e)
            std::fprintf(stderr, "killtest child: %s\n", e->message().toUtf8().constData());
        std::_Exit(e ? 3 : 0);
    }
    ::close(fds[1]);
    return Child{pid, fds[0]};
}

bool waitStart(const Child &c)
{
    char ch = 0;
    for (;;) {
        const ssize_t n = ::read(c.out, &ch, 1);
        if (n < 0 && errno == EINTR)
            continue;
        return n == 1;
    }
}

int reap(pid_t pid, int options = 0)
{
    int status = 0;
    pid_t r;
    while ((r = ::waitpid(pid, &status, options)) < 0 && errno == EINTR) {
    }
    return r == 0 ? -1 : status;
}

// How long a write takes in a child, from its 'g' to its end (the median
// of a few runs, so that one slow run does not spread the kills past the
// end of most writes).
qint64 calibrate(const Kind &k, const QString &kindBase, const QString &work)
{
    QList<qint64> times;
    for (int i = 0; i < 5; ++i) {
        copyTree(kindBase, work);
        flushToDisk(work);
        const DataDir dir{QDir(work)};
        Child c = startChild(k, dir);
        if (!waitStart(c))
            die(QStringLiteral("%1: the child did not start").arg(k.name));
        const qint64 t0 = nowNs();
        const int status = reap(c.pid);
        times.append(nowNs() - t0);
        ::close(c.out);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            die(QStringLiteral("%1: the write failed on its own").arg(k.name));
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// Reads every file of the program the way a start does; the first fault.
QString unreadable(const DataDir &dir)
{
    for (PersonSlot p : {PersonSlot::One, PersonSlot::Two}) {
        if (dir.exists(dataFileName(p))) {
            QList<WeightRecord> rs;
            if (MaybeError e = store::readRecords(dir, dataFileName(p), &rs))
                return e->message();
        }
        if (dir.exists(profileFileName(p))) {
            PersonProfile pr;
            if (MaybeError e = store::loadProfile(dir, profileFileName(p), &pr))
                return e->message();
        }
    }
    QStringList labels;
    if (MaybeError e = store::readSituationList(dir, &labels))
        return e->message();
    QString text;
    if (MaybeError e = store::readMemo(dir, &text))
        return e->message();
    if (MaybeError e = store::readStepText(dir, &text))
        return e->message();
    int flag = 0;
    if (MaybeError e = store::readHelpFlag(dir, &flag))
        return e->message();
    return {};
}

struct Row {
    QString kind;
    int kills = 0, old = 0, fresh = 0, finished = 0, other = 0, completed = 0;
    int snapshotOnly = 0; // of the old: a snapshot was taken before the kill
    int setAside = 0;     // of the old: a torn new line the start set aside
    QStringList notes;
};

// The tree without the snapshot folders under backup/ that `before` does
// not have (the undo record and the journal stay).
Tree withoutNewSnapshots(const Tree &now, const Tree &before)
{
    QSet<QString> folders;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (it.key().startsWith(QLatin1String("backup/")))
            folders.insert(it.key().section(u'/', 1, 1));
    Tree t;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const QString folder = it.key().section(u'/', 1, 1);
        const bool snapshot = it.key().startsWith(QLatin1String("backup/")) && it.key().count(u'/') >= 2 &&
                              folder != QLatin1String("undo") && !folders.contains(folder);
        if (!snapshot)
            t.insert(it.key(), it.value());
    }
    return t;
}

QString differences(const Tree &now, const Tree &before, const Tree &after)
{
    QStringList d;
    QStringList names = now.keys() + before.keys() + after.keys();
    names.removeDuplicates();
    for (const QString &n : std::as_const(names)) {
        const bool b = now.value(n) == before.value(n) && now.contains(n) == before.contains(n);
        const bool a = now.value(n) == after.value(n) && now.contains(n) == after.contains(n);
        if (!b || !a)
            d.append(QStringLiteral("%1 (%2)").arg(n, !now.contains(n) ? QStringLiteral("missing")
                                                     : b               ? QStringLiteral("old")
                                                     : a               ? QStringLiteral("new")
                                                                       : QStringLiteral("neither")));
    }
    return d.join(QStringLiteral(", "));
}

Row campaign(const Kind &k, const QString &root, const QString &base, int kills, std::mt19937_64 &rng)
{
    Row row;
    row.kind = k.name;
    const QString kindBase = root + QStringLiteral("/kind-base");
    const QString work = root + QStringLiteral("/work");
    copyTree(base, kindBase);
    store::forgetRememberedContents();
    if (k.prepare)
        k.prepare(DataDir{QDir(kindBase)});
    store::forgetRememberedContents();
    const Tree before = treeOf(kindBase);
    copyTree(kindBase, work);
    must(k.write(DataDir{QDir(work)}), qPrintable(k.name));
    store::forgetRememberedContents();
    const Tree after = treeOf(work);
    if (after == before)
        die(QStringLiteral("%1 changes nothing").arg(k.name));

    const qint64 span = calibrate(k, kindBase, work) + 1;
    for (int round = 0; round < kills; ++round) {
        copyTree(kindBase, work);
        const DataDir dir{QDir(work)};
        if (rng() % 4 == 0)
            plantScratch(dir);
        flushToDisk(work);
        Child c = startChild(k, dir);
        if (!waitStart(c))
            die(QStringLiteral("%1: the child did not start").arg(k.name));
        const qint64 deadline = nowNs() + qint64(rng() % quint64(span));
        int status = -1;
        // Spin to the moment; the child may end first.
        while (nowNs() < deadline)
            if ((status = reap(c.pid, WNOHANG)) != -1)
                break;
        if (status == -1) {
            ::kill(c.pid, SIGKILL);
            status = reap(c.pid);
        }
        ::close(c.out);
        ++row.kills;
        if (WIFEXITED(status)) {
            if (WEXITSTATUS(status) != 0)
                die(QStringLiteral("%1: the write failed on its own in round %2").arg(k.name).arg(round));
            ++row.completed;
        }

        // The next start.
        store::forgetRememberedContents();
        store::CrashCleanUp cleaned;
        QString problem;
        if (MaybeError e = store::cleanUpAfterCrash(dir, &cleaned))
            problem = QStringLiteral("clean-up: ") + e->message();
        QString sideFile;
        if (problem.isEmpty() && k.append) {
            // An append killed inside its one write, where the line crosses
            // a page of the file, leaves the line torn: the start sets the
            // half line aside, as it does for any cut-off last line, and
            // the file is then as before the write.
            QList<WeightRecord> rs;
            store::IncompleteTail tail;
            const QString file = k.name == QLatin1String("append") ? data1() : QString();
            if (!file.isEmpty() && !store::readRecords(dir, file, &rs, &tail) && tail.present) {
                if (MaybeError e = store::saveIncompleteTail(dir, file, tail, &sideFile))
                    problem = QStringLiteral("half a line in %1 not set aside: %2").arg(file, e->message());
            }
        }
        Tree now = treeOf(work);
        if (!sideFile.isEmpty()) {
            // What was set aside is a beginning of the line the write added.
            const QString side = QDir(work).relativeFilePath(dir.dir().filePath(sideFile));
            const QByteArray added = after.value(data1()).mid(before.value(data1()).size());
            const QByteArray half = now.take(side);
            if (half.isEmpty() || !added.startsWith(half) || now != before)
                problem = QStringLiteral("a torn line set aside as %1, but the files are not as before").arg(side);
            else
                ++row.setAside;
        }
        // A step that keeps a snapshot first may be killed after the
        // snapshot and before it changes anything: the files are old, and
        // the snapshot is one more backup.
        const bool oldWithSnapshot = now != before && withoutNewSnapshots(now, before) == before;
        if (problem.isEmpty() && now != before && now != after && !oldWithSnapshot)
            problem = QStringLiteral("neither old nor new: ") + differences(now, before, after);
        if (problem.isEmpty())
            problem = unreadable(dir);
        if (problem.isEmpty())
            if (MaybeError e = store::checkUndoRecord(dir))
                problem = QStringLiteral("undo record: ") + e->message();
        if (!problem.isEmpty()) {
            ++row.other;
            if (row.notes.size() < 5)
                row.notes.append(QStringLiteral("round %1: %2").arg(round).arg(problem));
        } else if (now == after) {
            ++(cleaned.finishedStep.isEmpty() ? row.fresh : row.finished);
        } else {
            ++row.old;
            row.snapshotOnly += oldWithSnapshot ? 1 : 0;
        }
    }
    return row;
}

} // namespace

int main(int argc, char **argv)
{
    int kills = 50;
    QString dirArg;
    QStringList only;
    quint64 seed = 20081110;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        auto next = [&]() -> QString {
            if (i + 1 >= argc)
                die(QStringLiteral("%1 needs a value").arg(QString::fromLocal8Bit(a)));
            return QString::fromLocal8Bit(argv[++i]);
        };
        if (a == "--kills")
            kills = next().toInt();
        else if (a == "--dir")
            dirArg = next();
        else if (a == "--kinds")
            only = next().split(u',', Qt::SkipEmptyParts);
        else if (a == "--seed")
            seed = next().toULongLong();
        else if (a == "--list")
            list = true;
        else
            die(QStringLiteral("usage: killtest [--kills N] [--dir D] [--kinds a,b] [--seed S] [--list]"));
    }
    const QList<Kind> all = kinds();
    if (list) {
        for (const Kind &k : all)
            std::printf("%s\n", k.name.toUtf8().constData());
        return 0;
    }
    QTemporaryDir tmp(dirArg.isEmpty() ? QDir::tempPath() + QStringLiteral("/killtest-XXXXXX")
                                       : QDir(dirArg).absoluteFilePath(QStringLiteral("killtest-XXXXXX")));
    if (!tmp.isValid())
        die(QStringLiteral("cannot make a scratch directory"));
    const QString base = tmp.filePath(QStringLiteral("base"));
    QDir().mkpath(base);
    writeBase(DataDir{QDir(base)});

    std::mt19937_64 rng(seed);
    std::printf("kill campaign: %d kills per kind, seed %llu, in %s\n", kills, (unsigned long long)seed,
                qPrintable(tmp.path()));
    std::printf("%-14s %6s %6s %6s %9s %6s   (%s)\n", "kind", "kills", "old", "new", "finished", "other",
                "ended before the kill");
    std::fflush(stdout);
    bool bad = false;
    for (const Kind &k : all) {
        if (!only.isEmpty() && !only.contains(k.name))
            continue;
        const Row r = campaign(k, tmp.path(), base, kills, rng);
        std::printf("%-14s %6d %6d %6d %9d %6d   (%d)", qPrintable(r.kind), r.kills, r.old, r.fresh, r.finished,
                    r.other, r.completed);
        if (r.snapshotOnly > 0)
            std::printf("  %d of the old with the snapshot taken before the step", r.snapshotOnly);
        if (r.setAside > 0)
            std::printf("  %d of the old with a torn new line set aside by the next start", r.setAside);
        std::printf("\n");
        for (const QString &n : r.notes)
            std::printf("    %s\n", n.toUtf8().constData());
        std::fflush(stdout);
        bad = bad || r.other > 0;
    }
    std::printf("old: as before the write; new: as after it; finished: new once the next start finished\n"
                "the step from its journal; other: anything else (listed)\n");
    return bad ? 1 : 0;
}
