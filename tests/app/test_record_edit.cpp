// Correcting and removing a record from the grids that list single
// records, undo of the last change, and restoring a backup, in the real
// window: keys to the focused widget, real clicks, scripted boxes.

#include "window_driver.h"

#include "entry/entry_panel.h"
#include "store/backup.h"
#include "ui/grid.h"
#include "ui/month_calendar.h"
#include "ui/record_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

// A slip of the year put the third record into 2206: from then on the
// comparison counted the days to it.
DataSet slipOfTheYear()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "65"), rec("2008/03/05", "起床後", "64"),
                  rec("2206/03/05", "夕食後", "63.5", "ごはん少なめ")};
    return s;
}

DataSet everyday()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "65"), rec("2008/03/05", "起床後", "64.2"),
                  rec("2008/03/10", "起床後", "64"), rec("2008/03/10", "夕食後", "64.6", "外食")};
    return s;
}

QByteArray fileOf(const QStringList &records) { return crlf(records); }

// A real click on a data cell (row 1 is the first data row).
void clickCell(Grid *g, int row, int col)
{
    g->scrollTo(g->model()->index(row - 1, col));
    const QRect r = g->visualRect(g->model()->index(row - 1, col));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
}

// What a right click on the cell sends, then a click on the menu's entry.
void menuOnCell(Grid *g, int row, const QString &entry)
{
    g->scrollTo(g->model()->index(row - 1, 1));
    const QPoint at = g->visualRect(g->model()->index(row - 1, 1)).center();
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, g->viewport()->mapToGlobal(at));
    QApplication::sendEvent(g->viewport(), &e);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction *chosen = nullptr;
    for (QAction *a : menu->actions())
        if (a->text() == entry)
            chosen = a;
    QVERIFY(chosen);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
}

// The open frmKiroku, made the active window as a window manager makes a
// new dialog (the offscreen platform has none).
RecordDialog *openDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<RecordDialog *>(w); d && d->isVisible()) {
            if (!d->isActiveWindow())
                QApplication::setActiveWindow(d);
            return d;
        }
    return nullptr;
}

// The main window active again once a dialog closed, as a window manager
// makes it.
void backToWindow(const WindowDriver &d) { QApplication::setActiveWindow(d.window()); }

// The weight screen on a given day, as the calendar screen's double-click
// opens it.
void showDay(WindowDriver &d, QDate day)
{
    d.click("cmdMain");
    auto *entry = qobject_cast<EntryPanel *>(d.window()->screen(QStringLiteral("cmdMain")));
    entry->mtvmain()->setSelectedDay(day);
    entry->refreshDayAndMeters();
}

} // namespace

class TestRecordEdit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }

    void aRecordMovedOutOfTheFutureBringsTheComparisonBack();
    void removalAsksAndNoKeepsTheRecord();
    void theDialogRefusesWhatTheWeightBoxRefuses();
    void aSaveIsUndoneToTheByteAndTextBoxesKeepCtrlZ();
    void undoAfterAnOutsideEditIsRefused();
    void contextMenusOpenTheRowsRecord_data();
    void contextMenusOpenTheRowsRecord();
    void aBackupIsRestoredAndEveryScreenFollows();
    void theConversionAndAProfileSaveKeepACopyFirst();
};

void TestRecordEdit::aRecordMovedOutOfTheFutureBringsTheComparisonBack()
{
    WindowDriver d;
    d.writeFiles(slipOfTheYear());
    QVERIFY(d.start());
    QCOMPARE(d.find<QLabel>("lblD1_2")->text(), QStringLiteral("08/03/01 → 72321日"));

    showDay(d, QDate(2206, 3, 5));
    QCOMPARE(d.dayRowCount(), 1);
    clickCell(d.dayList(), 1, 1);
    d.press(Qt::Key_F2);
    RecordDialog *dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QStringLiteral("frmKiroku"));
    QCOMPARE(dialog->findChild<QLineEdit *>("txtKirokuTai")->text(), QStringLiteral("63.5"));
    QCOMPARE(dialog->findChild<QComboBox *>("cboKirokuJyou")->currentText(), QStringLiteral("夕食後"));
    QCOMPARE(d.focused()->objectName(), QStringLiteral("dtpKiroku"));
    d.type(QStringLiteral("2008"));
    d.press(Qt::Key_Return);

    QVERIFY(!openDialog());
    QCOMPARE(d.boxes(), QStringList());
    // After the day's records, in date order; the diary kept.
    QCOMPARE(d.bytes(kData1), fileOf({rec("2008/03/01", "はじめの一歩", "65"), rec("2008/03/05", "起床後", "64"),
                                      rec("2008/03/05", "夕食後", "63.5", "ごはん少なめ")}));
    QCOMPARE(d.dayRowCount(), 0); // the day in 2206 has nothing left
    d.click("cmdAvgtai");
    QCOMPARE(d.find<QLabel>("lblD1_2")->text(), QStringLiteral("08/03/01 → 4日"));
    // The correction took a copy of the file first.
    const QList<store::SnapshotInfo> kept = store::listSnapshots(DataDir(d.tmp.dir()));
    QVERIFY(!kept.isEmpty());
    QCOMPARE(kept.first().reason, QStringLiteral("correct"));
    QCOMPARE(kept.first().recordsOf(1), 3);
}

void TestRecordEdit::removalAsksAndNoKeepsTheRecord()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    showDay(d, QDate(2008, 3, 10));
    const QByteArray before = d.bytes(kData1);
    QCOMPARE(d.find<QLabel>("lblUser1")->text(), QStringLiteral("2"));

    clickCell(d.dayList(), 2, 1);
    d.dialogs.queueAnswer(Answer::No);
    d.press(Qt::Key_Delete);
    const QString question = box(removeRecordQuestion(), QStringLiteral("削除確認"), Icon::Question, Buttons::YesNo);
    QCOMPARE(d.boxes(), QStringList{question});
    QCOMPARE(d.bytes(kData1), before);
    QVERIFY(openDialog()); // still open: いいえ only answers the question
    d.press(Qt::Key_Escape);
    QVERIFY(!openDialog());
    QCOMPARE(d.bytes(kData1), before);
    backToWindow(d);

    d.dialogs.calls.clear();
    clickCell(d.dayList(), 2, 1);
    d.dialogs.queueAnswer(Answer::Yes);
    d.press(Qt::Key_Delete);
    QCOMPARE(d.boxes(), QStringList{question});
    QVERIFY(!openDialog());
    QCOMPARE(d.bytes(kData1), fileOf({rec("2008/03/01", "はじめの一歩", "65"), rec("2008/03/05", "起床後", "64.2"),
                                      rec("2008/03/10", "起床後", "64")}));
    QCOMPARE(d.dayRowCount(), 1);
    QCOMPARE(d.find<QLabel>("lblUser1")->text(), QStringLiteral("1"));

    // The removal is undone to the byte.
    QVERIFY(d.find<QPushButton>("cmdUndo")->isEnabled());
    d.click("cmdUndo");
    QCOMPARE(d.bytes(kData1), before);
    QCOMPARE(d.dayRowCount(), 2);
    QVERIFY(!d.find<QPushButton>("cmdUndo")->isEnabled());
}

void TestRecordEdit::theDialogRefusesWhatTheWeightBoxRefuses()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    showDay(d, QDate(2008, 3, 10));
    const QByteArray before = d.bytes(kData1);
    clickCell(d.dayList(), 1, 1);
    d.press(Qt::Key_F2);
    RecordDialog *dialog = openDialog();
    QVERIFY(dialog);

    auto *weight = dialog->findChild<QLineEdit *>("txtKirokuTai");
    auto *diary = dialog->findChild<QLineEdit *>("txtKirokuNikki");
    const struct {
        QString weight, diary, title, text;
    } refused[] = {
        {QStringLiteral("abc"), {}, QStringLiteral("数値以外入力"), QStringLiteral("数値を入力してください")},
        {QString(), {}, QStringLiteral("体重未入力"), QStringLiteral("体重が入力されていません")},
        {QStringLiteral("0"), {}, QStringLiteral("記録の修正"),
         QStringLiteral("体重は0Kgより大きく500Kg以下の数値を入力してください")},
        {QStringLiteral("64"), QStringLiteral("\"引用\""), QStringLiteral("記録の修正"), QString()},
    };
    for (const auto &r : refused) {
        d.dialogs.calls.clear();
        weight->setText(r.weight);
        diary->setText(r.diary);
        d.click("cmdKirokuOk");
        QCOMPARE(d.dialogs.calls.size(), 1);
        QCOMPARE(d.dialogs.calls.first().title, r.title);
        if (!r.text.isEmpty())
            QCOMPARE(d.dialogs.calls.first().text, r.text);
        QCOMPARE(d.bytes(kData1), before);
        QVERIFY(openDialog());
    }
    // Full-width digits are the ASCII ones.
    d.dialogs.calls.clear();
    diary->clear();
    weight->setFocus();
    weight->clear();
    d.type(QStringLiteral("６３．８"));
    d.press(Qt::Key_Return);
    QCOMPARE(d.boxes(), QStringList());
    QVERIFY(!openDialog());
    QVERIFY(d.text(kData1).contains(QStringLiteral("\"2008/03/10\",\"起床後\",63.8,\"\"")));
}

void TestRecordEdit::aSaveIsUndoneToTheByteAndTextBoxesKeepCtrlZ()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QByteArray before = d.bytes(kData1);
    d.clickSituation(QStringLiteral("就寝前"));
    d.type(QStringLiteral("63.9"));
    d.press(Qt::Key_Return);
    QVERIFY(d.bytes(kData1) != before);
    QCOMPARE(d.dayRowCount(), 3);
    QVERIFY(d.find<QPushButton>("cmdUndo")->isEnabled());

    // Ctrl+Z in a text box is the box's own.
    const QByteArray saved = d.bytes(kData1);
    d.focusByClick("txtTaiInp");
    d.type(QStringLiteral("1"));
    d.press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.bytes(kData1), saved);
    QCOMPARE(d.boxes(), QStringList());

    // Elsewhere it takes the save back.
    clickCell(d.dayList(), 1, 1);
    d.press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.bytes(kData1), before);
    QCOMPARE(d.dayRowCount(), 2);
    QVERIFY(!d.find<QPushButton>("cmdUndo")->isEnabled());
    QCOMPARE(d.boxes(), QStringList());

    // A back-dated save goes in date order and is undone to the byte too.
    d.pickDay(QDate(2008, 3, 5));
    d.clickSituation(QStringLiteral("就寝前"));
    d.type(QStringLiteral("64.1"));
    d.press(Qt::Key_Return);
    QVERIFY(d.bytes(kData1) != before);
    d.click("cmdUndo");
    QCOMPARE(d.bytes(kData1), before);

    // Nothing left to undo: Ctrl+Z says so and writes nothing.
    clickCell(d.dayList(), 1, 1);
    d.press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.boxes(), QStringList{box(QStringLiteral("元に戻せる変更はありません。"), QStringLiteral("元に戻す"),
                                        Icon::Information)});
    QCOMPARE(d.bytes(kData1), before);
}

void TestRecordEdit::undoAfterAnOutsideEditIsRefused()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.clickSituation(QStringLiteral("就寝前"));
    d.type(QStringLiteral("63.9"));
    d.press(Qt::Key_Return);
    // Another program adds a line behind our back.
    QByteArray edited = d.bytes(kData1) + crlf({rec("2008/03/10", "就寝前", "63")});
    d.tmp.writeBytes(kData1, edited);

    d.click("cmdUndo");
    QCOMPARE(d.dialogs.calls.size(), 1);
    QCOMPARE(d.dialogs.calls.first().title, QStringLiteral("元に戻す"));
    QVERIFY2(d.dialogs.calls.first().text.contains(QStringLiteral("元に戻せません")),
             qPrintable(d.dialogs.calls.first().text));
    QCOMPARE(d.bytes(kData1), edited);
}

void TestRecordEdit::contextMenusOpenTheRowsRecord_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("grid");
    QTest::newRow("search results") << "cmdTaijyu" << "msgBunseki";
    QTest::newRow("diary list") << "cmdMemo" << "msgMemoList";
    QTest::newRow("series table") << "cmdBunseki" << "msgB1";
}

void TestRecordEdit::contextMenusOpenTheRowsRecord()
{
    QFETCH(QString, tool);
    QFETCH(QString, grid);
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click(tool);
    auto *g = d.find<Grid>(grid);
    QVERIFY(g);
    QCOMPARE(g->rows(), 5);

    // The fourth record: 64.6 with its diary.
    menuOnCell(g, 4, QStringLiteral("修正…"));
    RecordDialog *dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->findChild<QLineEdit *>("txtKirokuTai")->text(), QStringLiteral("64.6"));
    QCOMPARE(dialog->findChild<QLineEdit *>("txtKirokuNikki")->text(), QStringLiteral("外食"));
    QCOMPARE(dialog->findChild<QDateEdit *>("dtpKiroku")->date(), QDate(2008, 3, 10));

    // A correction shows on the screen at once.
    dialog->findChild<QLineEdit *>("txtKirokuTai")->setText(QStringLiteral("64.4"));
    d.click("cmdKirokuOk");
    QCOMPARE(d.boxes(), QStringList());
    QVERIFY(!openDialog());
    QVERIFY(d.text(kData1).contains(QStringLiteral("\"2008/03/10\",\"夕食後\",64.4,\"外食\"")));
    bool shown = false;
    for (int c = 0; c < g->cols(); ++c)
        shown = shown || g->textMatrix(4, c).contains(QStringLiteral("64.4"))
                || g->textMatrix(4, c) == QStringLiteral("外食");
    QVERIFY(shown);

    // 削除… asks at once; いいえ keeps it.
    d.dialogs.queueAnswer(Answer::No);
    menuOnCell(g, 2, QStringLiteral("削除…"));
    QCOMPARE(d.dialogs.titles(), QStringList{QStringLiteral("削除確認")});
    RecordDialog *second = openDialog();
    QVERIFY(second);
    QCOMPARE(second->findChild<QLineEdit *>("txtKirokuTai")->text(), QStringLiteral("64.2"));
    // (The first dialog's buttons may linger until it is deleted.)
    QTest::mouseClick(second->findChild<QPushButton *>("cmdKirokuCancel"), Qt::LeftButton);
    QVERIFY(!openDialog());
    QCOMPARE(g->rows(), 5);
}

void TestRecordEdit::aBackupIsRestoredAndEveryScreenFollows()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    const QByteArray original = d.bytes(kData1);
    // The first start of the day kept every file.
    QList<store::SnapshotInfo> kept = store::listSnapshots(DataDir(d.tmp.dir()));
    QCOMPARE(kept.size(), 1);
    QVERIFY(kept.first().isDaily());

    showDay(d, QDate(2008, 3, 10));
    clickCell(d.dayList(), 1, 1);
    d.dialogs.queueAnswer(Answer::Yes);
    d.press(Qt::Key_Delete);
    QCOMPARE(d.dayRowCount(), 1);

    d.click("cmdSettei");
    d.click("cmdRestore");
    QWidget *frm = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("frmRestore") && w->isVisible())
            frm = w;
    QVERIFY(frm);
    auto *list = frm->findChild<QListWidget *>("lstBackup");
    QVERIFY(list);
    QCOMPARE(list->count(), 2); // the removal's copy, then the day's
    QVERIFY2(list->item(1)->text().contains(QStringLiteral("4件")), qPrintable(list->item(1)->text()));
    list->setCurrentRow(1);
    d.dialogs.calls.clear();
    d.dialogs.queueAnswer(Answer::Yes);
    QTest::mouseClick(frm->findChild<QPushButton *>("cmdRestoreOk"), Qt::LeftButton);
    QCOMPARE(d.dialogs.titles(), QStringList{QStringLiteral("復元確認")});
    QCOMPARE(d.bytes(kData1), original);
    QVERIFY(!frm->isVisible());

    d.click("cmdMain");
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.find<QLabel>("lblUser1")->text(), QStringLiteral("2"));
}

void TestRecordEdit::theConversionAndAProfileSaveKeepACopyFirst()
{
    WindowDriver d;
    d.writeFiles(everyday());
    const QByteArray before = d.bytes(kData1);
    const QByteArray profile = d.bytes(kProfile1);
    d.tmp.writeBytes(QStringLiteral("連続体重.txt"), crlf({QStringLiteral("\"2007/12/01\",\"朝\",80.5")}));
    d.dialogs.queueAnswer(Answer::Yes);
    QVERIFY(d.start());
    QVERIFY(d.bytes(kData1) != before);
    auto copyOf = [&](const QString &reason, const QString &file) {
        for (const store::SnapshotInfo &s : store::listSnapshots(DataDir(d.tmp.dir())))
            if (s.reason == reason)
                return d.tmp.readBytes(store::backupFolder() + QLatin1Char('/') + s.folder + QLatin1Char('/') + file);
        return QByteArray("none");
    };
    QCOMPARE(copyOf(QStringLiteral("convert"), kData1), before);

    d.click("cmdSettei");
    d.typeAndEnter(QStringLiteral("txtMokuTai"), QStringLiteral("58"));
    d.click("cmdPHozon1");
    QVERIFY(d.bytes(kProfile1) != profile);
    QCOMPARE(copyOf(QStringLiteral("profile"), kProfile1), profile);
}

QTEST_MAIN(TestRecordEdit)
#include "test_record_edit.moc"
