#include "fuzz_targets.h"

#include "analysis/trend_graph.h"
#include "entry/weight_entry.h"
#include "store/codec.h"
#include "store/csv_exchange.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/format.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/record_line.h"
#include "store/settings_files.h"
#include "store/situation_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

namespace {

std::unique_ptr<QTemporaryDir> &workspace()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}

const QByteArray *g_input = nullptr;
qint64 g_accepted = 0;
const char *g_target = "";

DataDir dir()
{
    return DataDir(QDir(workspace()->path()));
}

[[noreturn]] void finding(const QString &what)
{
    const QByteArray input = g_input ? *g_input : QByteArray();
    std::fprintf(stderr, "FINDING in %s: %s\ninput (%lld bytes, hex): %s\n", g_target,
                 what.toLocal8Bit().constData(), static_cast<long long>(input.size()),
                 input.left(4096).toHex().constData());
    std::fflush(stderr);
    std::abort();
}

void check(bool ok, const QString &what)
{
    if (!ok)
        finding(what);
}

void mustSucceed(const MaybeError &e, const QString &what)
{
    if (e)
        finding(what + QStringLiteral(": ") + e->message());
}

// The input as the file `name`, written as another program would. The
// files the targets write themselves stay as the store left them, so that
// the store's own check for outside changes has nothing to find.
void put(const QString &name, const QByteArray &bytes)
{
    QFile f(QDir(workspace()->path()).filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write the fuzz input");
}

QString describe(const WeightRecord &r)
{
    return QStringLiteral("[%1|%2|%3|%4|%5|%6]")
        .arg(r.date, r.situation, QString::number(double(r.weight), 'g', 9), r.diary, r.reserved.fifth(), r.reserved.sixth());
}

// The record as a rewrite writes it: the first four fields.
WeightRecord written(WeightRecord r)
{
    r.reserved.clear();
    return r;
}

void sameRecords(const QList<WeightRecord> &got, const QList<WeightRecord> &expected, const QString &what)
{
    if (got.size() != expected.size())
        finding(QStringLiteral("%1: %2 records instead of %3").arg(what).arg(got.size()).arg(expected.size()));
    for (qsizetype i = 0; i < got.size(); ++i)
        if (!(got[i] == expected[i]))
            finding(QStringLiteral("%1: record %2 is %3 instead of %4")
                        .arg(what)
                        .arg(i + 1)
                        .arg(describe(got[i]), describe(expected[i])));
}

// A record holds only what the program could have written.
void plausible(const WeightRecord &r)
{
    check(std::isfinite(r.weight) && r.weight > 0 && r.weight <= store::kMaxStoredWeight,
          QStringLiteral("weight accepted: ") + describe(r));
    for (const QString *t : {&r.date, &r.situation, &r.diary})
        check(store::unstorableReason(*t).isEmpty(), QStringLiteral("text accepted that cannot be written: ") + describe(r));
}

const QString kData = QStringLiteral("データ1.txt");
const QString kCopy = QStringLiteral("データ2.txt");

void runData(const QByteArray &input)
{
    put(kData, input);
    QList<WeightRecord> records;
    store::IncompleteTail tail;
    if (store::readRecords(dir(), kData, &records, &tail))
        return;
    ++g_accepted;
    check(records.size() <= kMaxRecords, QStringLiteral("more records than the limit"));
    for (const WeightRecord &r : std::as_const(records))
        plausible(r);
    if (tail.present) {
        // Without the side file, the same line is damage.
        QList<WeightRecord> again;
        check(store::readRecords(dir(), kData, &again).has_value(),
              QStringLiteral("an incomplete last line read as a record"));
        return;
    }

    // The last line alone reads as the last record.
    WeightRecord last;
    bool found = false;
    mustSucceed(store::readLastRecord(dir(), kData, &last, &found), QStringLiteral("last record"));
    check(found == !records.isEmpty(), QStringLiteral("last record found or not"));
    if (found)
        sameRecords({last}, {records.last()}, QStringLiteral("last record"));

    // Read first up to a line break half way, then the rest as added lines.
    const qsizetype half = input.indexOf('\n', input.size() / 2);
    if (half > 0 && half + 1 < input.size()) {
        store::RecordsAsRead known;
        put(kData, input.left(half + 1));
        mustSucceed(store::rereadRecords(dir(), kData, &known), QStringLiteral("reread of the first half"));
        put(kData, input);
        mustSucceed(store::rereadRecords(dir(), kData, &known), QStringLiteral("reread of the added lines"));
        sameRecords(known.records, records, QStringLiteral("reread after adding lines"));
    }

    // Written back, the records read again as they were.
    QList<WeightRecord> expected;
    for (const WeightRecord &r : std::as_const(records))
        expected.append(written(r));
    mustSucceed(store::rewriteRecords(dir(), kCopy, records, store::insertScratchName()),
                QStringLiteral("writing back what was read"));
    QList<WeightRecord> back;
    mustSucceed(store::readRecords(dir(), kCopy, &back), QStringLiteral("reading back what was written"));
    sameRecords(back, expected, QStringLiteral("written and read again"));

    // An insert keeps every record and places the new one by its date.
    if (records.size() < kMaxRecords) {
        WeightRecord n;
        n.date = records.isEmpty() ? QStringLiteral("2008/03/10") : records.at(records.size() / 2).date;
        n.situation = QStringLiteral("挿入");
        n.weight = 60.5f;
        n.diary = QStringLiteral("表");
        mustSucceed(store::insertRecordInOrder(dir(), kData, n), QStringLiteral("insert into what was read"));
        qsizetype at = 0;
        while (at < expected.size() && !(expected.at(at).date > n.date))
            ++at;
        expected.insert(at, n);
        QList<WeightRecord> inserted;
        mustSucceed(store::readRecords(dir(), kData, &inserted), QStringLiteral("reading after an insert"));
        sameRecords(inserted, expected, QStringLiteral("after an insert"));
    }
}

const QString kProfile = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt");
const QString kProfileCopy = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ2.txt");

void runProfile(const QByteArray &input)
{
    put(kProfile, input);
    PersonProfile p;
    if (store::loadProfile(dir(), kProfile, &p))
        return;
    ++g_accepted;
    check(std::isfinite(p.height) && p.height > 0 && p.height <= store::kMaxStoredHeight,
          QStringLiteral("height accepted: %1").arg(double(p.height)));
    check(std::isfinite(p.targetWeight) && p.targetWeight > 0 && p.targetWeight <= store::kMaxStoredWeight,
          QStringLiteral("target accepted: %1").arg(double(p.targetWeight)));
    mustSucceed(store::saveProfile(dir(), kProfileCopy, p), QStringLiteral("writing back the profile"));
    PersonProfile back;
    mustSucceed(store::loadProfile(dir(), kProfileCopy, &back), QStringLiteral("reading back the profile"));
    check(back == p, QStringLiteral("profile read back differs: %1 %2 %3").arg(back.nickname).arg(double(back.height)).arg(double(back.targetWeight)));
}

void runSituations(const QByteArray &input)
{
    put(store::situationListFile(), input);
    QStringList labels;
    if (store::readSituationList(dir(), &labels))
        return;
    ++g_accepted;
    for (const QString &l : std::as_const(labels))
        check(store::unstorableReason(l).isEmpty(), QStringLiteral("label accepted that cannot be written: ") + l);
}

// A whole-number setting: one of `allowed`, written back and read again.
void runChoice(const QString &file, const QByteArray &input, MaybeError (*read)(const DataDir &, int *),
               MaybeError (*write)(const DataDir &, int), std::initializer_list<int> allowed)
{
    put(file, input);
    int v = -1;
    if (read(dir(), &v))
        return;
    ++g_accepted;
    bool ok = false;
    for (const int a : allowed)
        ok = ok || a == v;
    check(ok, QStringLiteral("setting accepted: %1").arg(v));
    mustSucceed(write(dir(), v), QStringLiteral("writing the setting back"));
    int back = -1;
    mustSucceed(read(dir(), &back), QStringLiteral("reading the setting back"));
    check(back == v, QStringLiteral("setting read back differs"));
}

void runHelp(const QByteArray &input)
{
    runChoice(store::helpSettingFile(), input, store::readHelpFlag, store::writeHelpFlag, {0, 1});
}

void runAutoTime(const QByteArray &input)
{
    runChoice(store::autoTimeSettingFile(), input, store::readAutoTime, store::writeAutoTime, {0, 1});
}

void runMarker(const QByteArray &input)
{
    runChoice(store::markerSettingFile(), input, store::readMarkerMode, store::writeMarkerMode, {0, 1, 2});
}

// A text setting, written back and read again; `vet` checks the value,
// `meaning` is what the program makes of it, which a rewrite keeps. (The
// text itself may not survive: the file holds it bare, so a comma ends
// it and blanks around it go, as with a step typed "0,5".)
template <typename Meaning>
void runText(const QString &file, const QByteArray &input, MaybeError (*read)(const DataDir &, QString *),
             MaybeError (*write)(const DataDir &, const QString &), void (*vet)(const QString &),
             Meaning meaning)
{
    put(file, input);
    QString v;
    if (read(dir(), &v))
        return;
    ++g_accepted;
    vet(v);
    mustSucceed(write(dir(), v), QStringLiteral("writing the setting back"));
    QString back;
    mustSucceed(read(dir(), &back), QStringLiteral("reading the setting back"));
    check(meaning(back) == meaning(v), QStringLiteral("setting read back means something else: ") + back);
    if (!v.contains(u',') && v == v.trimmed())
        check(back == v, QStringLiteral("setting read back differs: ") + back);
}

void runStep(const QByteArray &input)
{
    // Any text the user typed is a step; it only has to be storable.
    runText(
        store::stepSettingFile(), input, store::readStepText, store::writeStepText,
        [](const QString &v) {
            check(store::unstorableReason(v).isEmpty(), QStringLiteral("step accepted that cannot be written: ") + v);
        },
        [](const QString &v) { return entry::stepSize(v); });
}

void runMovingAverage(const QByteArray &input)
{
    runText(
        store::movingAverageSettingFile(), input, store::readMovingAverageText, store::writeMovingAverageText,
        [](const QString &v) {
            check(analysis::movingAverageWindow(v) >= 1, QStringLiteral("moving average accepted: ") + v);
        },
        [](const QString &v) { return analysis::movingAverageWindow(v); });
}

void runMemo(const QByteArray &input)
{
    put(store::memoFile(), input);
    QString text;
    if (store::readMemo(dir(), &text))
        return;
    ++g_accepted;
    mustSucceed(store::writeMemo(dir(), text), QStringLiteral("writing the memo back"));
    QString back;
    mustSucceed(store::readMemo(dir(), &back), QStringLiteral("reading the memo back"));
    // A save keeps the text, a lone CR becoming a line break.
    QString expected = text;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    expected.replace(u'\r', u'\n');
    check(back == expected, QStringLiteral("memo read back differs"));
}

void runLegacy(const QByteArray &input)
{
    put(store::legacyDataFile(), input);
    QList<WeightRecord> records;
    if (store::readLegacyRecords(dir(), &records))
        return;
    ++g_accepted;
    for (const WeightRecord &r : std::as_const(records)) {
        plausible(r);
        check(r.diary.isEmpty() && r.reserved.fifth().isEmpty() && r.reserved.sixth().isEmpty(),
              QStringLiteral("an older record with more than three fields: ") + describe(r));
    }
    // What a conversion writes reads back as the same records.
    QByteArray bytes;
    mustSucceed(store::recordFileBytes(kCopy, records, &bytes), QStringLiteral("converting"));
    put(kData, bytes);
    QList<WeightRecord> back;
    mustSucceed(store::readRecords(dir(), kData, &back), QStringLiteral("reading the converted file"));
    sameRecords(back, records, QStringLiteral("converted and read again"));
}

// The CSV import: a plan for any bytes, against a few records of a
// person. What it would add holds only what a data file may hold, and the
// merged records, written as the import writes them, read back the same.
void runCsv(const QByteArray &input)
{
    static const QList<WeightRecord> existing = [] {
        QList<WeightRecord> rs;
        for (const char *d : {"2008/03/09", "2008/03/10", "2025/04/07"}) {
            WeightRecord r;
            r.date = QString::fromLatin1(d);
            r.situation = QStringLiteral("起床後");
            r.weight = 70.5f;
            rs.append(r);
        }
        return rs;
    }();
    csv::ImportOptions options;
    options.zone = QTimeZone::utc();
    csv::ImportPlan plan = csv::planImport(input, existing, options);
    if (plan.needsDateOrder) {
        // The user's answer, one way or the other.
        options.dateOrder = input.size() % 2 ? csv::DateOrder::MonthFirst : csv::DateOrder::DayFirst;
        plan = csv::planImport(input, existing, options);
        check(!plan.needsDateOrder, QStringLiteral("the date order asked for again"));
    }
    csv::previewText(plan);
    if (!plan.canImport())
        return;
    ++g_accepted;
    for (const WeightRecord &r : std::as_const(plan.toAdd)) {
        plausible(r);
        check(dates::isDateText(r.date), QStringLiteral("date accepted: ") + describe(r));
    }
    const QList<WeightRecord> merged = csv::mergeRecords(existing, plan.toAdd);
    check(merged.size() == existing.size() + plan.toAdd.size(), QStringLiteral("records lost in the merge"));
    for (qsizetype i = 1; i < merged.size(); ++i)
        check(!(merged[i].date < merged[i - 1].date), QStringLiteral("merged records out of date order"));
    QByteArray bytes;
    mustSucceed(store::recordFileBytes(kData, merged, &bytes), QStringLiteral("writing the merged records"));
    put(kData, bytes);
    QList<WeightRecord> back;
    mustSucceed(store::readRecords(dir(), kData, &back), QStringLiteral("reading the merged records"));
    QList<WeightRecord> expected;
    for (const WeightRecord &r : merged)
        expected.append(written(r));
    sameRecords(back, expected, QStringLiteral("imported and read again"));
}

} // namespace

const QList<Target> &targets()
{
    static const QList<Target> all = {
        {"data", runData},
        {"profile", runProfile},
        {"situations", runSituations},
        {"help", runHelp},
        {"step", runStep},
        {"moving_average", runMovingAverage},
        {"auto_time", runAutoTime},
        {"marker", runMarker},
        {"memo", runMemo},
        {"legacy", runLegacy},
        {"csv", runCsv},
    };
    return all;
}

const Target *findTarget(const QString &name)
{
    for (const Target &t : targets())
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

void setUpWorkspace(const QString &base)
{
    const QString root = base.isEmpty() ? QDir::tempPath() : base;
    workspace() = std::make_unique<QTemporaryDir>(root + QStringLiteral("/nanahoshi-fuzz-XXXXXX"));
    if (!workspace()->isValid())
        qFatal("cannot make a fuzz workspace in %s", qPrintable(root));
}

const QByteArray *currentInput() { return g_input; }

qint64 acceptedCount() { return g_accepted; }

// Runs one input through a target (used by both drivers).
void runOne(const Target &t, const QByteArray &input)
{
    g_input = &input;
    g_target = t.name;
    t.run(input);
    g_input = nullptr;
}

} // namespace fuzz
