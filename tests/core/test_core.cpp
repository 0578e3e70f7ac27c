// The weight series every analysis screen and the search read: built from
// records in memory, and loaded from a person's data file.
#include "core/persons.h"
#include "core/weight_series.h"
#include "records.h"
#include "temp_data_dir.h"

#include <QtTest>

using testrec::daily;
using testrec::rec;

class TestCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void seriesKeepsEveryRecordInOrder();
    void lowestWeightDatesFromItsFirstRecord();
    void extremesStartAtZeroAnd999();
    void seriesBeyondTheFileLimitCountsInFull();
    void loaderReadsThePersonsFile();
    void loaderReadsAFileAtTheRecordLimit();
    void loaderFailureLeavesNoOldSeries();
    void personsAnnounceOnlyWhatChanged();
};

void TestCore::seriesKeepsEveryRecordInOrder()
{
    const WeightSeries s = buildWeightSeries(
        {rec("2008/01/01", 70.1f), rec("2008/01/01", 69.5f), rec("2008/01/03", 71.25f)});
    QCOMPARE(s.count, 3);
    QCOMPARE(s.weights, (QList<float>{70.1f, 69.5f, 71.25f}));
    QCOMPARE(s.dates, (QStringList{"2008/01/01", "2008/01/01", "2008/01/03"}));
    QCOMPARE(s.averages, (QList<float>{0, 0, 0}));
    QCOMPARE(s.maxWeight, 71.25f);
    QCOMPARE(s.minWeight, 69.5f);
    QCOMPARE(s.minDate, QStringLiteral("2008/01/01"));
}

void TestCore::lowestWeightDatesFromItsFirstRecord()
{
    const WeightSeries s = buildWeightSeries(daily("2008/02/27", {66, 64.5f, 65, 64.5f, 64.5f}));
    QCOMPARE(s.minWeight, 64.5f);
    QCOMPARE(s.minDate, QStringLiteral("2008/02/28"));
}

// The running extremes start at 0 and 999, so a weight above 999 (only a
// damaged file holds one) leaves minWeight at 999 with no date.
void TestCore::extremesStartAtZeroAnd999()
{
    WeightSeries s = buildWeightSeries({});
    QCOMPARE(s.count, 0);
    QCOMPARE(s.maxWeight, 0.0f);
    QCOMPARE(s.minWeight, 999.0f);
    QVERIFY(s.minDate.isEmpty());

    s = buildWeightSeries({rec("2008/01/01", 1200)});
    QCOMPARE(s.maxWeight, 1200.0f);
    QCOMPARE(s.minWeight, 999.0f);
    QVERIFY(s.minDate.isEmpty());
}

void TestCore::seriesBeyondTheFileLimitCountsInFull()
{
    QList<float> weights;
    for (int i = 0; i < kMaxRecords + 5000; ++i)
        weights.append(60.0f + float(i % 100) / 10.0f);
    const WeightSeries s = buildWeightSeries(daily("1950/01/01", weights));
    QCOMPARE(s.count, kMaxRecords + 5000);
    QCOMPARE(s.weights.size(), qsizetype(s.count));
    QCOMPARE(s.averages.size(), qsizetype(s.count));
    QCOMPARE(s.maxWeight, 69.9f);
    QCOMPARE(s.minDate, QStringLiteral("1950/01/01"));
}

void TestCore::loaderReadsThePersonsFile()
{
    TempDataDir tmp;
    tmp.writeText(QStringLiteral("データ2.TXT"),
                  QStringLiteral("\"2008/01/01\",\"はじめの一歩\",74.5,\"\",\"\",\"\"\r\n"
                                 "\"2008/01/02\",\"朝\",73.9,\"7:30:00\",\"\",\"\"\r\n"
                                 "\"2008/01/02\",\"夜\",74,\"\",\"\",\"\"\r\n"));
    WeightSeries s;
    QVERIFY(!LoadWeightSeries(DataDir(tmp.dir()), dataFileName(PersonSlot::Two), &s));
    QCOMPARE(s.count, 3);
    QCOMPARE(s.weights, (QList<float>{74.5f, 73.9f, 74.0f}));
    QCOMPARE(s.dates.last(), QStringLiteral("2008/01/02"));
    QCOMPARE(s.minDate, QStringLiteral("2008/01/02"));
}

void TestCore::loaderReadsAFileAtTheRecordLimit()
{
    TempDataDir tmp;
    QString text;
    text.reserve(kMaxRecords * 40);
    for (int i = 0; i < kMaxRecords; ++i)
        text += QStringLiteral("\"2008/01/01\",\"朝\",%1,\"\",\"\",\"\"\r\n").arg(50 + i % 40);
    tmp.writeText(QStringLiteral("データ1.txt"), text);
    WeightSeries s;
    QVERIFY(!LoadWeightSeries(DataDir(tmp.dir()), dataFileName(PersonSlot::One), &s));
    QCOMPARE(s.count, kMaxRecords);
    QCOMPARE(s.weights.last(), float(50 + (kMaxRecords - 1) % 40));
    QCOMPARE(s.maxWeight, 89.0f);
}

void TestCore::loaderFailureLeavesNoOldSeries()
{
    TempDataDir tmp;
    WeightSeries s = buildWeightSeries(daily("2008/01/01", {70, 69}));
    tmp.writeText(QStringLiteral("データ1.txt"),
                  QStringLiteral("\"2008/01/01\",\"朝\",70,\"\",\"\",\"\"\r\n"
                                 "\"2008/01/02\",\"朝\",七十,\"\",\"\",\"\"\r\n"));
    const MaybeError e = LoadWeightSeries(DataDir(tmp.dir()), dataFileName(PersonSlot::One), &s);
    QVERIFY(e);
    QCOMPARE(e->line, 2);
    QCOMPARE(s.count, 0);
    QVERIFY(s.weights.isEmpty());

    s = buildWeightSeries(daily("2008/01/01", {70}));
    QVERIFY(LoadWeightSeries(DataDir(tmp.dir()), QStringLiteral("データ2.txt"), &s));
    QCOMPARE(s.count, 0);
}

QTEST_GUILESS_MAIN(TestCore)
// Whatever follows the persons (the buttons, the caption) hears of a
// change once, and of nothing that did not change.
void TestCore::personsAnnounceOnlyWhatChanged()
{
    Persons persons;
    QSignalSpy selected(&persons, &Persons::selectedChanged);
    QSignalSpy profile(&persons, &Persons::profileChanged);
    QCOMPARE(persons.selected(), PersonSlot::One);

    const PersonProfile hanako{QStringLiteral("はなこ"), 158.5f, 50};
    persons.setProfile(PersonSlot::Two, hanako);
    QCOMPARE(profile.count(), 1);
    QCOMPARE(profile.at(0).at(0).value<PersonSlot>(), PersonSlot::Two);
    QCOMPARE(persons.current(), PersonProfile{});
    persons.setProfile(PersonSlot::Two, hanako); // the same again
    QCOMPARE(profile.count(), 1);

    persons.select(PersonSlot::Two);
    persons.select(PersonSlot::Two);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(persons.current(), hanako);
    QCOMPARE(persons.DataFileName(), dataFileName(PersonSlot::Two));
    QCOMPARE(persons.otherDataFileName(), dataFileName(PersonSlot::One));
    QCOMPARE(selected.count(), 1);
}

#include "test_core.moc"
