// Printing: the record sheet as it is drawn (on a device that records every
// line and text, one unit a twip), and both print buttons in the window,
// which save the page as a PDF file on a machine without a printer.

#include "window_driver.h"

#include "print/printing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <QPaintEngine>
#include <QPainter>
#include <QTest>
#include <QTextItem>

using namespace wintest;
using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

// Keeps what a painter draws, in the painter's own coordinates.
class RecordingEngine final : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    Type type() const override { return QPaintEngine::User; }
    // Everything in page units (twips), whatever the painter's transform.
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->lines.append(painter()->transform().map(lines[i]));
    }
    void drawLines(const QLine *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->lines.append(painter()->transform().map(QLineF(lines[i])));
    }
    // A text drawn in runs of one font each comes as several items on one
    // baseline; they are joined into the text that was drawn, and its end
    // is kept to see where it stops.
    void drawTextItem(const QPointF &local, const QTextItem &item) override
    {
        const QPointF at = painter()->transform().map(local);
        const double end = painter()->transform().map(local + QPointF(item.width(), 0)).x();
        if (!texts.isEmpty() && texts.last().first.y() == at.y() && at.x() > texts.last().first.x()) {
            texts.last().second += item.text();
            ends.last() = end;
        } else {
            texts.append({at, item.text()});
            ends.append(end);
        }
    }
    QList<double> ends;

    QList<QLineF> lines;
    QList<QPair<QPointF, QString>> texts;
};

// A page of 1440 units to the inch: a unit is a twip.
class TwipsPage final : public QPaintDevice {
public:
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return 12000;
        case PdmHeight: return 17000;
        case PdmWidthMM: return 212;
        case PdmHeightMM: return 300;
        case PdmNumColors: return 256;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 1440;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }
};

const QString kHeader = QStringLiteral("＜　　　／　　　＞");
const QString kEntry = QStringLiteral("（　　　  　　　　　　　　　　　　／　　　　　）");

QString confirm(const QString &question)
{
    return box(question + QStringLiteral("\r\n\r\n良かったらＯＫボタンを押してください"), QStringLiteral("印刷確認"),
               Icon::Question, Buttons::OkCancel);
}

} // namespace

class TestPrintScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }
    void recordSheetIsDrawnInTwips();
    void sheetWithoutPrinterIsSavedAsPdf();
    void cancelAndDeclineWriteNothing();
    void screenImageIsSavedAsPdf();
};

void TestPrintScreen::recordSheetIsDrawnInTwips()
{
    TwipsPage page;
    {
        QPainter p(&page);
        print::paintRecordSheet(p, print::recordSheet());
    }
    const RecordingEngine &e = page.engine;
    QCOMPARE(e.lines, (QList<QLineF>{QLineF(3770, 0, 3770, 17000), QLineF(7540, 0, 7540, 17000),
                                     QLineF(0, 4050, 12000, 4050), QLineF(0, 8100, 12000, 8100),
                                     QLineF(0, 12150, 12000, 12150)}));
    int headers = 0, entries = 0;
    for (const auto &[at, text] : e.texts) {
        QVERIFY2(text == kHeader || text == kEntry, qPrintable(text));
        const bool header = text == kHeader;
        (header ? headers : entries) += 1;
        // The text starts 100 twips into its box and stands below its
        // own y (drawn from the baseline, less than a line lower).
        const int x = int(std::lround(at.x()));
        QCOMPARE((x - 100) % 3770, 0);
        QVERIFY(x < 12000);
        // Every text ends inside its own box.
        const double end = e.ends[e.texts.indexOf(QPair<QPointF, QString>(at, text))];
        QVERIFY2(end <= x - 100 + 3770, qPrintable(QStringLiteral("%1 ends at %2").arg(x).arg(end)));
        const double yIntoBox = std::fmod(at.y(), 4050.0);
        if (header)
            QVERIFY2(yIntoBox > 100 && yIntoBox < 400, qPrintable(QString::number(at.y())));
        else
            QVERIFY2(std::fmod(yIntoBox - 500, 300.0) > 0 && yIntoBox > 500 && yIntoBox < 3500,
                     qPrintable(QString::number(at.y())));
    }
    QCOMPARE(headers, 12);
    QCOMPARE(entries, 120);
    // The last entry of every box ends above the next box's border.
    for (int r = 0; r < 4; ++r) {
        double last = 0;
        for (const auto &[at, text] : e.texts)
            if (text == kEntry && at.y() > r * 4050 && at.y() < (r + 1) * 4050)
                last = qMax(last, at.y());
        QVERIFY2(last > r * 4050 + 3200 && last < r * 4050 + 3200 + 300, qPrintable(QString::number(last)));
    }
}

void TestPrintScreen::sheetWithoutPrinterIsSavedAsPdf()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    d.window()->printActions()->hasPrinter = [] { return false; };
    QVERIFY(d.find("cmdPrint1")->isEnabled());
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("用紙.pdf"));
    d.dialogs.queueAnswer(Answer::Ok);
    d.dialogs.queueAnswer(Answer::Yes);
    d.dialogs.queueSaveFile(pdf);
    d.click("cmdPrint1");
    const QStringList shown = d.boxes();
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown[0], confirm(QStringLiteral("体重記録用紙を印刷しますか？")));
    QVERIFY(shown[1].contains(QStringLiteral("プリンターが見つかりません")));
    // The suggested file lies in the documents folder, named for the day.
    QVERIFY2(shown[2].startsWith(QStringLiteral("save: ")) && shown[2].contains(QStringLiteral("体重記録用紙_20080310.pdf")),
             qPrintable(shown[2]));
    QCOMPARE(shown[3], box(QStringLiteral("PDFファイルに保存しました。\n\n%1").arg(QDir::toNativeSeparators(pdf)),
                           QStringLiteral("印刷"), Icon::Information));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
}

void TestPrintScreen::cancelAndDeclineWriteNothing()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    d.window()->printActions()->hasPrinter = [] { return false; };
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("x.pdf"));

    d.dialogs.queueAnswer(Answer::Cancel); // at the question
    d.click("cmdPrint");
    QCOMPARE(d.boxes().size(), 1);

    d.dialogs.clear();
    d.dialogs.queueAnswer(Answer::Ok);
    d.dialogs.queueAnswer(Answer::No); // no PDF, thank you
    d.click("cmdPrint1");
    QCOMPARE(d.boxes().size(), 2);

    d.dialogs.clear();
    d.dialogs.queueAnswer(Answer::Ok);
    d.dialogs.queueAnswer(Answer::Yes);
    d.dialogs.queueSaveFile(std::nullopt); // cancelled in the save dialog
    d.click("cmdPrint1");
    QCOMPARE(d.boxes().size(), 3);
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList());
}

void TestPrintScreen::screenImageIsSavedAsPdf()
{
    WindowDriver d;
    d.writeFiles(DataSet());
    QVERIFY(d.start());
    d.window()->printActions()->hasPrinter = [] { return false; };
    QTemporaryDir out;
    const QString chosen = out.filePath(QStringLiteral("画面")); // no extension typed
    d.dialogs.queueAnswer(Answer::Ok);
    d.dialogs.queueAnswer(Answer::Yes);
    d.dialogs.queueSaveFile(chosen);
    d.click("cmdPrint");
    QCOMPARE(d.boxes().value(0), confirm(QStringLiteral("表示中の画面イメージで印刷しますか？")));
    QVERIFY(d.boxes().value(2).contains(QStringLiteral("ナナホシ画面_20080310.pdf")));
    QFile f(chosen + QStringLiteral(".pdf"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.contains("/Image")); // the window's picture is on the page
}

QTEST_MAIN(TestPrintScreen)
#include "test_print_screen.moc"
