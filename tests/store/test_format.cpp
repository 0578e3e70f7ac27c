// Numbers, dates and text encoding: the helpers every screen and file
// relies on, so that rounding, signs and bytes agree everywhere.
#include "store/codec.h"
#include "store/dates.h"
#include "store/format.h"

#include <QtTest>

class TestFormat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void floatPatterns_data();
    void floatPatterns();
    void numberTiesAndExtremes_data();
    void numberTiesAndExtremes();
    void doublePatternsRoundOnTheDecimalValue();
    void shortestText_data();
    void shortestText();
    void oneDecimalRounding();
    void leadingNumber_data();
    void leadingNumber();
    void strictNumber_data();
    void strictNumber();
    void datePatterns();
    void dateTextsAreStrict();
    void dayDifferencesAndWeekdays();
    void dayMatchComparesEveryNewText();
    void cp932HandWrittenBytes();
    void cp932RefusesWhatItCannotHold();
    void cp932QuickTableAgreesWithIconv();
};

void TestFormat::floatPatterns_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("weight") << 74.5f << "0.0Kg" << "74.5Kg";
    QTest::newRow("small gain shows zero") << 0.04f << "0.0Kg" << "0.0Kg";
    QTest::newRow("small loss rounds to -0.1") << -0.06f << "0.0Kg" << "-0.1Kg";
    QTest::newRow("tiny loss has no minus") << -0.04f << "0.0Kg" << "0.0Kg";
    QTest::newRow("negative zero") << -0.0f << "0.0" << "0.0";
    QTest::newRow("half up") << 0.05f << "0.0" << "0.1";
    QTest::newRow("half away from zero") << -0.05f << "0.0" << "-0.1";
    QTest::newRow("2.25") << 2.25f << "0.0" << "2.3";
    QTest::newRow("carry") << 9.96f << "0.0" << "10.0";
    QTest::newRow("float difference") << (65.4f - 65.3f) << "0.0Kg" << "0.1Kg";
    QTest::newRow("float just below half") << (65.35f - 65.3f) << "0.0Kg" << "0.0Kg";
    QTest::newRow("percent") << 0.185f << "0.0%" << "18.5%";
    QTest::newRow("negative percent") << -0.0512f << "0.0%" << "-5.1%";
    QTest::newRow("two integer digits") << 5.2f << "00.0" << "05.2";
    QTest::newRow("standard weight") << 63.58f << "00.0" << "63.6";
    QTest::newRow("grams") << 1234.5f << "0g" << "1235g";
    QTest::newRow("three decimals") << 0.0005f << "0.000Kg" << "0.001Kg";
    QTest::newRow("two decimals") << 12.0f << "0.00" << "12.00";
    QTest::newRow("until") << 4.25f << "0.0Kgまで" << "4.3Kgまで";
}

void TestFormat::floatPatterns()
{
    QFETCH(float, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(fmt::number(value, pattern), expected);
}

void TestFormat::doublePatternsRoundOnTheDecimalValue()
{
    // 0.15 is 0.1499999... in binary; the user reads 0.15 and expects 0.2.
    QCOMPARE(fmt::number(0.15, u"0.0"), QStringLiteral("0.2"));
    QCOMPARE(fmt::number(-1.25, u"0.0"), QStringLiteral("-1.3"));
    QCOMPARE(fmt::number(1e-9, u"0.0Kg"), QStringLiteral("0.0Kg"));
    QCOMPARE(fmt::number(-1e-9, u"0.0Kg"), QStringLiteral("0.0Kg"));
}

void TestFormat::shortestText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("isFloat");
    QTest::addColumn<QString>("expected");
    QTest::newRow("65.3f") << 65.3 << true << "65.3";
    QTest::newRow("65f") << 65.0 << true << "65";
    QTest::newRow("0.25f") << 0.25 << true << "0.25";
    QTest::newRow("a third, 7 digits") << 1.0 / 3.0 << true << "0.3333333";
    QTest::newRow("negative zero") << -0.0 << true << "0";
    QTest::newRow("tiny") << 1e-7 << true << "0.0000001";
    QTest::newRow("58.7f, not its binary value") << 58.7 << true << "58.7";
    QTest::newRow("7 digits rounded") << 1234.5678 << true << "1234.568";
    QTest::newRow("large float") << 16777217.0 << true << "16777220";
    QTest::newRow("step up") << 65.3 + 0.1 << false << "65.4";
    QTest::newRow("step down") << 65.5 - 0.5 << false << "65";
    QTest::newRow("step from 60") << 60.0 - 0.1 << false << "59.9";
    QTest::newRow("height in m") << 1.685 << false << "1.685";
}

void TestFormat::shortestText()
{
    QFETCH(double, value);
    QFETCH(bool, isFloat);
    QFETCH(QString, expected);
    QCOMPARE(isFloat ? fmt::shortest(float(value)) : fmt::shortest(value), expected);
}

void TestFormat::oneDecimalRounding()
{
    QCOMPARE(fmt::roundOneDecimal(65.25), 65.3);
    QCOMPARE(fmt::roundOneDecimal(-0.26), -0.3);
    QCOMPARE(fmt::roundOneDecimal(70.14f), 70.1f);
}

void TestFormat::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("word") << "abc" << 0.0;
    QTest::newRow("plain") << "65.3" << 65.3;
    QTest::newRow("trailing text") << "65.3kg" << 65.3;
    QTest::newRow("leading blanks") << "  12" << 12.0;
    QTest::newRow("signed") << "-1.5" << -1.5;
    QTest::newRow("two points") << "1.2.3" << 1.2;
    QTest::newRow("sign only") << "-" << 0.0;
}

void TestFormat::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(fmt::leadingNumber(text), expected);
}

void TestFormat::strictNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("plain") << "65.3" << true;
    QTest::newRow("blanks and sign") << " -1 " << true;
    QTest::newRow("plus") << "+2" << true;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("trailing point") << "7." << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank") << "  " << false;
    QTest::newRow("word") << "abc" << false;
    QTest::newRow("number then word") << "65kg" << false;
    QTest::newRow("exponent") << "1e3" << false;
    QTest::newRow("thousands") << "1,000" << false;
    QTest::newRow("point only") << "." << false;
    QTest::newRow("sign apart") << "- 1" << false;
}

void TestFormat::strictNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(fmt::isNumber(text), expected);
}

void TestFormat::datePatterns()
{
    const QDate d(2008, 3, 9);
    QCOMPARE(fmt::date(d, u"yyyy/mm/dd"), QStringLiteral("2008/03/09"));
    QCOMPARE(fmt::date(d, u"yy/mm/dd"), QStringLiteral("08/03/09"));
    QCOMPARE(fmt::date(d, u"YY/MM/DD"), QStringLiteral("08/03/09"));
    QCOMPARE(fmt::date(d, u"yyyy年mm月"), QStringLiteral("2008年03月"));
    QCOMPARE(fmt::date(QStringLiteral("2003/11/08"), u"yy/mm/dd"), QStringLiteral("03/11/08"));
}

void TestFormat::dateTextsAreStrict()
{
    QVERIFY(dates::isDateText(u"2008/02/29"));
    QVERIFY(!dates::isDateText(u"2007/02/29"));
    QVERIFY(!dates::isDateText(u"2008/3/10"));
    QVERIFY(!dates::isDateText(u"2008-03-10"));
    QVERIFY(!dates::isDateText(u"2008/03/10 "));
    QCOMPARE(dates::text(QDate(2008, 3, 10)), QStringLiteral("2008/03/10"));
    // Text order is date order.
    QVERIFY(dates::text(QDate(2008, 3, 9)) < dates::text(QDate(2008, 3, 10)));
    QVERIFY(dates::text(QDate(2008, 12, 31)) < dates::text(QDate(2009, 1, 1)));
}

void TestFormat::dayDifferencesAndWeekdays()
{
    QCOMPARE(dates::daysBetween(u"2008/02/28", u"2008/03/01"), 2);
    QCOMPARE(dates::daysBetween(u"2008/03/10", u"2008/03/09"), -1);
    QCOMPARE(dates::daysBetween(u"bad", u"2008/03/09"), 0);
    QCOMPARE(dates::weekday(QDate(2008, 3, 9)), 0); // a Sunday
    QCOMPARE(dates::weekday(QDate(2008, 3, 15)), 6);
}

void TestFormat::dayMatchComparesEveryNewText()
{
    // Copies share their text; a text cut short from another shares its
    // characters but not its length, and must be compared afresh.
    const QString other = QStringLiteral("2008/03/09");
    const QString shared = QStringLiteral("2008/03/10");
    const QString longer = QStringLiteral("2008/03/100");
    const QString cut = QString::fromRawData(longer.constData(), 10);
    const QList<QString> dates = {other, other, shared, shared, QStringLiteral("2008/03/10"), longer, cut, other};
    dates::DayMatch onDay(shared);
    QList<bool> matched;
    for (const QString &d : dates)
        matched.append(onDay(d));
    QCOMPARE(matched, (QList<bool>{false, false, true, true, true, false, true, false}));
}

void TestFormat::cp932HandWrittenBytes()
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {QStringLiteral("～"), QByteArray("\x81\x60")},
        {QStringLiteral("①"), QByteArray("\x87\x40")},
        {QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ"), QByteArray("\xCC\xDF\xD7\xB2\xCD\xDE\xB0\xC4")},
        {QStringLiteral("表ソ"), QByteArray("\x95\x5C\x83\x5C")},
        {QStringLiteral("体重"), QByteArray("\x91\xCC\x8F\x64")},
        {QStringLiteral("ＢＭＩ"), QByteArray("\x82\x61\x82\x6C\x82\x68")},
        {QStringLiteral("－"), QByteArray("\x81\x7C")},
    };
    for (const Case &c : cases) {
        QString error;
        QCOMPARE(cp932::encode(c.text, &error), c.bytes);
        QVERIFY(error.isEmpty());
        QCOMPARE(cp932::decode(c.bytes, &error), c.text);
        QVERIFY(error.isEmpty());
    }
}

void TestFormat::cp932RefusesWhatItCannotHold()
{
    QString error;
    QVERIFY(cp932::encode(QStringLiteral("ok😀"), &error).isEmpty());
    QVERIFY(error.contains(QStringLiteral("😀")));
    QCOMPARE(cp932::firstUnencodable(QStringLiteral("体重é")), QStringLiteral("é"));
    QVERIFY(cp932::firstUnencodable(QStringLiteral("体重")).isEmpty());

    qsizetype bad = -1;
    QVERIFY(cp932::decode(QByteArray("ab\x81", 3), &error, &bad).isEmpty());
    QVERIFY(!error.isEmpty());
    QCOMPARE(bad, qsizetype(2));
    QVERIFY(cp932::decode(QByteArray("a\xFF"), &error, &bad).isEmpty());
    QCOMPARE(bad, qsizetype(1));
}

void TestFormat::cp932QuickTableAgreesWithIconv()
{
    // Every byte and every byte pair, also after ASCII and before an
    // unfinished lead byte: the quick decoder of the record reader must
    // take and refuse exactly what iconv does, and give the same text.
    int valid = 0, twins = 0;
    for (int b = 0; b < 256; ++b) {
        for (int t = -1; t < 256; ++t) {
            QByteArray bytes(1, char(b));
            if (t >= 0)
                bytes += char(t);
            for (const QByteArray &in : {bytes, "a" + bytes, bytes + "\x81"}) {
                QString error;
                const QString want = cp932::decode(in, &error);
                QString got;
                const bool ok = cp932::decodeShort(in.constData(), in.size(), &got);
                QVERIFY2(ok == error.isEmpty(), in.toHex().constData());
                if (!ok)
                    continue;
                QVERIFY2(got == want, in.toHex().constData());
                QString encodeError;
                const bool same = cp932::encode(want, &encodeError) == in;
                QVERIFY2(cp932::bytesRoundTrip(in.constData(), in.size()) == same, in.toHex().constData());
                if (in == bytes) {
                    ++valid;
                    twins += same ? 0 : 1;
                }
            }
        }
    }
    // The known shape of code page 932: many valid codes, a few hundred of
    // them twins that encode to another code ("≒" 87 90 comes back as 81 E0).
    QVERIFY(valid > 7000);
    QVERIFY(twins > 100);
    QVERIFY(!cp932::bytesRoundTrip("\x87\x90", 2));
}

void TestFormat::numberTiesAndExtremes_data()
{
    // Values whose shortest decimal form ends in 5 at the rounding digit,
    // and values far from any weight.
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("isFloat");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0.25f") << 0.25 << true << "0.0" << "0.3";
    QTest::newRow("-0.25f") << -0.25 << true << "0.0" << "-0.3";
    QTest::newRow("65.35f") << double(65.35f) << true << "0.0" << "65.4";
    QTest::newRow("-65.35f") << double(-65.35f) << true << "0.0Kg" << "-65.4Kg";
    QTest::newRow("0.125 two decimals") << 0.125 << false << "0.00" << "0.13";
    QTest::newRow("0.05% percent") << double(0.0005f) << true << "0.0%" << "0.1%";
    QTest::newRow("-0.045 rounds to zero") << -0.04 << false << "0.0" << "0.0";
    QTest::newRow("99.95f carries") << double(99.95f) << true << "00.0" << "100.0";
    QTest::newRow("0.5 to whole") << 0.5 << false << "0g" << "1g";
    QTest::newRow("-0.5 to whole") << -0.5 << false << "0g" << "-1g";
    QTest::newRow("-0.4 to whole") << -0.4 << false << "0g" << "0g";
    QTest::newRow("1e20f exact digits") << double(1e20f) << true << "0.0" << "100000002004087734272.0";
    QTest::newRow("3e38f") << double(3e38f) << true << "0"
                           << "300000000549775575777803994281145270272";
    QTest::newRow("1e-20f") << double(1e-20f) << true << "0.000" << "0.000";
    QTest::newRow("denormal float") << double(1e-45f) << true << "0.0" << "0.0";
    QTest::newRow("1e22") << 1e22 << false << "0.0Kg" << "10000000000000000000000.0Kg";
    QTest::newRow("no integer zeros") << 0.75 << false << ".0" << ".8";
    QTest::newRow("infinity") << qInf() << false << "0.0" << "0.0";
}

void TestFormat::numberTiesAndExtremes()
{
    QFETCH(double, value);
    QFETCH(bool, isFloat);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(isFloat ? fmt::number(float(value), pattern) : fmt::number(value, pattern), expected);
}

QTEST_GUILESS_MAIN(TestFormat)
#include "test_format.moc"
