// The situation-list group of the settings screen, driven through its
// controls on a temporary data directory with scripted dialogs.

#include "fixed_clock.h"
#include "scripted_dialogs.h"
#include "temp_data_dir.h"
#include "test_text.h"

#include "core/session.h"
#include "setup/situation_list_editor.h"
#include "ui/situation_lists.h"
#include "store/codec.h"
#include "store/file_io.h"
#include "ui/back_color.h"
#include "ui/palette.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <memory>

using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

const QString kList = QStringLiteral("状況リスト.txt");
const QString kData1 = QStringLiteral("データ1.txt");
const QString kData2 = QStringLiteral("データ2.txt");

// Four labels, A B C D in the drag tests' terms.
const QStringList kLabels = {QStringLiteral("朝"), QStringLiteral("夜"), QStringLiteral("食後"),
                             QStringLiteral("寝る前")};

using testtext::crlf;
using testtext::sjis;


// "2008/03/01","朝",70.5,"","","" and the like, as a data file holds them.
const QByteArray kData1Bytes = crlf({
    QStringLiteral("\"2008/03/01\",\"朝\",70.5,\"\",\"\",\"\""),
    QStringLiteral("\"2008/03/02\",\"朝食後\",70.1,\"メモ\",\"\",\"\""),
    QStringLiteral("\"2008/03/03\",\"夜\",69.8,\"\",\"\",\"\""),
    QStringLiteral("\"2008/03/04\",\"朝\",69.5,\"\",\"\",\"x\""),
});
const QByteArray kData2Bytes = crlf({
    QStringLiteral("\"2008/03/01\",\"朝\",60,\"\",\"\",\"\""),
    QStringLiteral("\"2008/03/05\",\"朝ごはん\",59.5,\"\",\"\",\"\""),
});

QStringList items(const QAbstractItemView *list)
{
    QStringList out;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        out.append(list->model()->index(i, 0).data().toString());
    return out;
}

QString box(const QString &text, const QString &title, Icon icon, Buttons buttons)
{
    return ScriptedDialogs::describe(text, title, icon, buttons);
}

QString box(const ScriptedDialogs::Call &c) { return ScriptedDialogs::describe(c); }

int failEveryWrite(store::faults::Op op)
{
    return op == store::faults::Op::Write ? ENOSPC : 0;
}

// One settings group on its own data directory, as the main window builds it.
struct Fixture {
    Fixture()
    {
        tmp.writeBytes(kList, crlf(kLabels));
        tmp.writeBytes(kData1, kData1Bytes);
        tmp.writeBytes(kData2, kData2Bytes);
        session.person.select(PersonSlot::One);
        editor.setLists(&lists);
        editor.resize(520, 300);
        editor.show();
    }

    TempDataDir tmp;
    ScriptedDialogs dialogs;
    FixedClock clock;
    Session session{DataDir(tmp.dir()), dialogs, clock};
    QListView lstAct;
    QListView lstAct2;
    SituationListEditor editor{session};
    SituationLists lists{editor.lstKoumoku()};
    const bool mirrorsJoined = (lists.attachMirror(&lstAct), lists.attachMirror(&lstAct2), true);

    QListWidget *lst() const { return editor.lstKoumoku(); }
    template <typename T = QPushButton> T *control(const char *name) const
    {
        return editor.findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *cmdSort() const { return control("cmdSort"); }
    QLineEdit *txtChg() const { return control<QLineEdit>("txtChg"); }

    QPoint centreOf(int row) const { return lst()->visualItemRect(lst()->item(row)).center(); }
    QPoint belowLastLabel() const { return QPoint(10, lst()->viewport()->height() - 4); }

    void clickLabel(int row) const
    {
        QTest::mouseClick(lst()->viewport(), Qt::LeftButton, {}, centreOf(row));
    }
    void clickButton(const char *name) const
    {
        QTest::mouseClick(control(name), Qt::LeftButton);
    }
    // Drags the first label over the second and drops it on the third:
    // the working copy then starts with the second label.
    void dragFirstLabelAboveThird() const
    {
        QWidget *viewport = lst()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, centreOf(0));
        QTest::mouseMove(viewport, centreOf(1));
        QTest::mouseMove(viewport, centreOf(2));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centreOf(2));
    }
    int selectedRow() const
    {
        const auto sel = lst()->selectedItems();
        return sel.isEmpty() ? -1 : lst()->row(sel.first());
    }
    QByteArray file(const QString &name) const { return tmp.readBytes(name); }
};

} // namespace

class TestSituationList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsCarryTheirNamesAndCaptions();
    void selectionButtonsAreEnabledOnlyByAClickOnALabel();

    void addWritesOneBareLineAndAppendsToAllLists();
    void addWithACommaKeepsOneLabel();
    void addCancelledOrEmptyChangesNothing_data();
    void addCancelledOrEmptyChangesNothing();
    void addRefusesTextTheFileCannotHold_data();
    void addRefusesTextTheFileCannotHold();

    void deleteRemovesTheLabelAndLeavesRecordsAlone();
    void deleteCancelledChangesNothing();
    void deleteAndRenameWithoutASelectionAskForOne();
    void deleteAllEmptiesEveryListAndTheFile();
    void deleteAllCancelledChangesNothing();

    void renameChangesExactLabelsOfTheSelectedPersonOnly_data();
    void renameChangesExactLabelsOfTheSelectedPersonOnly();
    void renameToATextWithACommaKeepsOneLabel();
    void aLabelWithACommaSurvivesDeleteOrReorderAfterARename_data();
    void aLabelWithACommaSurvivesDeleteOrReorderAfterARename();
    void renameNeedsANewText();
    void renameCancelledChangesNothing();
    void renameRefusesTextTheFileCannotHold();
    void renameThatCannotReadOrWriteChangesNothing_data();
    void renameThatCannotReadOrWriteChangesNothing();

    void dragMovesTheLabelAboveTheOneReleasedOn_data();
    void dragMovesTheLabelAboveTheOneReleasedOn();
    void dragStartedBesideTheLabelsMovesNothing();
    void listJoiningLaterShowsTheSavedListNotTheWorkingCopy();
    void sortSavesTheDraggedOrder();
    void deleteAfterADragSavesTheDraggedOrder();

    void failedWriteKeepsFileAndLists_data();
    void failedWriteKeepsFileAndLists();

private:
    std::unique_ptr<Fixture> f;
};

void TestSituationList::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void TestSituationList::init()
{
    f = std::make_unique<Fixture>();
    QVERIFY(QTest::qWaitForWindowExposed(&f->editor));
    const MaybeError e = f->lists.LoadSituationList(f->session.dir);
    QVERIFY2(!e, e ? qPrintable(e->message()) : "");
    QCOMPARE(items(f->lst()), kLabels);
}

void TestSituationList::cleanup()
{
    store::faults::setHook(nullptr);
    f.reset();
}

// ---- controls and the enable rules ----

void TestSituationList::controlsCarryTheirNamesAndCaptions()
{
    QCOMPARE(f->editor.title(), QStringLiteral("状況リスト編集"));
    QCOMPARE(f->editor.toolTip(), QStringLiteral("状況データの編集枠です"));
    QCOMPARE(f->lst()->objectName(), QStringLiteral("lstKoumoku"));
    const QList<std::pair<const char *, QString>> captions = {
        {"cmdNew2", QStringLiteral("追加")},
        {"cmdDel", QStringLiteral("削除")},
        {"cmdDel2", QStringLiteral("全削除")},
        {"cmdSort", QStringLiteral("並び替え")},
        {"cmdChg", QStringLiteral("状況コメントを入れ替える")},
    };
    for (const auto &[name, caption] : captions) {
        QVERIFY2(f->control(name), name);
        QCOMPARE(f->control(name)->text(), caption);
    }
    QVERIFY(f->txtChg());
    QVERIFY(qobject_cast<ColourButton *>(f->cmdSort()));
    // The group fits its place on the settings screen.
    const QSize need = f->editor.minimumSizeHint();
    QVERIFY2(need.width() <= 520 && need.height() <= 300,
             qPrintable(QStringLiteral("%1x%2").arg(need.width()).arg(need.height())));
}

void TestSituationList::selectionButtonsAreEnabledOnlyByAClickOnALabel()
{
    auto enabled = [this] {
        return QList<bool>{f->control("cmdDel")->isEnabled(), f->control("cmdChg")->isEnabled(),
                           f->cmdSort()->isEnabled()};
    };
    const QList<bool> none{false, false, false};
    const QList<bool> all{true, true, true};

    QCOMPARE(enabled(), none);
    QVERIFY(f->control("cmdNew2")->isEnabled());
    QVERIFY(f->control("cmdDel2")->isEnabled());

    // A disabled button does nothing when clicked.
    f->clickButton("cmdDel");
    QVERIFY(f->dialogs.calls.isEmpty());

    // A press beside the labels is no click on a label.
    QTest::mouseClick(f->lst()->viewport(), Qt::LeftButton, {}, f->belowLastLabel());
    QCOMPARE(enabled(), none);

    f->clickLabel(1);
    QCOMPARE(f->selectedRow(), 1);
    QCOMPARE(enabled(), all);

    // Opening the screen again: disabled, the selection stays.
    f->editor.disableSelectionButtons();
    QCOMPARE(enabled(), none);
    QCOMPARE(f->selectedRow(), 1);
    // Clicking the label already selected enables them again.
    f->clickLabel(1);
    QCOMPARE(enabled(), all);

    // Choosing a label with the keyboard counts as a click too.
    f->editor.disableSelectionButtons();
    QTest::keyClick(f->lst(), Qt::Key_Down);
    QCOMPARE(f->selectedRow(), 2);
    QCOMPARE(enabled(), all);

    // No operation disables them again.
    f->dialogs.queueAnswer(Answer::Ok);
    f->clickButton("cmdDel");
    QCOMPARE(enabled(), all);
}

// ---- add ----

void TestSituationList::addWritesOneBareLineAndAppendsToAllLists()
{
    f->dialogs.queueInput(QStringLiteral("体重計の前"));
    f->clickButton("cmdNew2");

    QCOMPARE(f->dialogs.calls.size(), 1);
    const auto &ask = f->dialogs.calls.first();
    QCOMPARE(ask.kind, ScriptedDialogs::Call::Kind::Input);
    QCOMPARE(ask.text, QStringLiteral("追加したい状況を入力して下さい"));
    QCOMPARE(ask.title, QStringLiteral("状況追加"));
    QCOMPARE(ask.defaultText, QString());

    QCOMPARE(f->file(kList), crlf(kLabels) + sjis(QStringLiteral("体重計の前\r\n")));
    const QStringList expected = kLabels + QStringList{QStringLiteral("体重計の前")};
    QCOMPARE(items(f->lst()), expected);
    QCOMPARE(items(&f->lstAct), expected);
    QCOMPARE(items(&f->lstAct2), expected);
}

void TestSituationList::addWithACommaKeepsOneLabel()
{
    const QString typed = QStringLiteral("散歩後,軽め");
    f->dialogs.queueInput(typed);
    f->clickButton("cmdNew2");

    // Written in quotes, as a bare line would split at the comma...
    QCOMPARE(f->file(kList), crlf(kLabels) + sjis(QStringLiteral("\"散歩後,軽め\"\r\n")));
    QCOMPARE(items(f->lst()).last(), typed);
    QCOMPARE(items(&f->lstAct).size(), kLabels.size() + 1);

    // ...so it is still one label the next time the list is read.
    QVERIFY(!f->lists.LoadSituationList(f->session.dir));
    const QStringList reread = kLabels + QStringList{typed};
    QCOMPARE(items(f->lst()), reread);
    QCOMPARE(items(&f->lstAct), reread);
}

void TestSituationList::addCancelledOrEmptyChangesNothing_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancel") << true;
    QTest::newRow("empty answer") << false;
}

void TestSituationList::addCancelledOrEmptyChangesNothing()
{
    QFETCH(bool, cancel);
    f->dialogs.queueInput(cancel ? std::nullopt : std::optional<QString>(QString()));
    f->clickButton("cmdNew2");

    QCOMPARE(f->dialogs.calls.size(), 1);
    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(items(f->lst()), kLabels);
    QCOMPARE(items(&f->lstAct), kLabels);
}

void TestSituationList::addRefusesTextTheFileCannotHold_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("double quote") << QStringLiteral("朝\"ごはん");
    QTest::newRow("line break") << QStringLiteral("朝\nごはん");
    QTest::newRow("not in CP932") << QStringLiteral("아침");
}

void TestSituationList::addRefusesTextTheFileCannotHold()
{
    QFETCH(QString, typed);
    f->dialogs.queueInput(typed);
    f->clickButton("cmdNew2");

    QCOMPARE(f->dialogs.calls.size(), 2);
    const auto &refusal = f->dialogs.calls.at(1);
    QCOMPARE(refusal.title, QStringLiteral("状況追加"));
    QCOMPARE(refusal.icon, Icon::Exclamation);
    QCOMPARE(refusal.buttons, Buttons::Ok);
    QVERIFY2(refusal.text.startsWith(QStringLiteral("この状況は登録できません。\n\n")),
             qPrintable(refusal.text));
    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(items(f->lst()), kLabels);
    QCOMPARE(items(&f->lstAct), kLabels);
}

// ---- delete and delete all ----

void TestSituationList::deleteRemovesTheLabelAndLeavesRecordsAlone()
{
    f->clickLabel(1);
    f->clickButton("cmdDel");

    QCOMPARE(f->dialogs.calls.size(), 2);
    QCOMPARE(box(f->dialogs.calls.at(0)),
             box(QStringLiteral("夜を削除します。よろしいですか？"), QStringLiteral("クリア確認"),
                 Icon::Exclamation, Buttons::OkCancel));
    QCOMPARE(box(f->dialogs.calls.at(1)),
             box(QStringLiteral("選択したデータを削除しました"), QStringLiteral("削除完了"),
                 Icon::Information, Buttons::Ok));

    const QStringList left = {kLabels[0], kLabels[2], kLabels[3]};
    QCOMPARE(f->file(kList), crlf(left));
    QCOMPARE(items(f->lst()), left);
    QCOMPARE(items(&f->lstAct), left);
    QCOMPARE(items(&f->lstAct2), left);
    QCOMPARE(f->selectedRow(), -1);
    // Records keep the deleted label.
    QCOMPARE(f->file(kData1), kData1Bytes);
    QCOMPARE(f->file(kData2), kData2Bytes);
}

void TestSituationList::deleteCancelledChangesNothing()
{
    f->clickLabel(2);
    f->dialogs.queueAnswer(Answer::Cancel);
    f->clickButton("cmdDel");

    QCOMPARE(f->dialogs.calls.size(), 1);
    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(items(f->lst()), kLabels);
    QCOMPARE(items(&f->lstAct), kLabels);
    QCOMPARE(f->selectedRow(), 2);
}

void TestSituationList::deleteAndRenameWithoutASelectionAskForOne()
{
    // After a delete no label is selected while the buttons stay enabled.
    f->clickLabel(0);
    f->clickButton("cmdDel");
    QCOMPARE(f->selectedRow(), -1);
    QVERIFY(f->control("cmdDel")->isEnabled());
    const QByteArray listAfterDelete = f->file(kList);
    f->dialogs.clear();

    f->clickButton("cmdDel");
    QCOMPARE(f->dialogs.calls.size(), 1);
    QCOMPARE(box(f->dialogs.calls.at(0)),
             box(QStringLiteral("削除する状況を選択してください"), QStringLiteral("状況未選択"),
                 Icon::Exclamation, Buttons::Ok));

    // A rename without a selection must not treat "" as the old label.
    f->txtChg()->setText(QStringLiteral("夕方"));
    f->clickButton("cmdChg");
    QCOMPARE(f->dialogs.calls.size(), 2);
    QCOMPARE(box(f->dialogs.calls.at(1)),
             box(QStringLiteral("変更する状況を選択してください"), QStringLiteral("状況未選択"),
                 Icon::Exclamation, Buttons::Ok));

    QCOMPARE(f->file(kList), listAfterDelete);
    QCOMPARE(f->file(kData1), kData1Bytes);
    QCOMPARE(items(f->lst()).size(), 3);
}

void TestSituationList::deleteAllEmptiesEveryListAndTheFile()
{
    f->clickButton("cmdDel2");

    QCOMPARE(f->dialogs.calls.size(), 2);
    QCOMPARE(box(f->dialogs.calls.at(0)),
             box(QStringLiteral("状況リストを全削除します。よろしいですか？"),
                 QStringLiteral("クリア確認"), Icon::Exclamation, Buttons::OkCancel));
    QCOMPARE(box(f->dialogs.calls.at(1)),
             box(QStringLiteral("状況リストを削除しました。\n\n"
                                "任意の状況をあらためて登録してください。"),
                 QStringLiteral("削除完了"), Icon::Information, Buttons::Ok));

    QVERIFY(f->tmp.exists(kList));
    QCOMPARE(f->file(kList), QByteArray());
    QCOMPARE(f->lst()->count(), 0);
    QCOMPARE(items(&f->lstAct).size(), 0);
    QCOMPARE(items(&f->lstAct2).size(), 0);
    QCOMPARE(f->file(kData1), kData1Bytes);
    QCOMPARE(f->file(kData2), kData2Bytes);

    // Starting again gives empty lists.
    QVERIFY(!f->lists.LoadSituationList(f->session.dir));
    QCOMPARE(items(&f->lstAct).size(), 0);
}

void TestSituationList::deleteAllCancelledChangesNothing()
{
    f->dialogs.queueAnswer(Answer::Cancel);
    f->clickButton("cmdDel2");

    QCOMPARE(f->dialogs.calls.size(), 1);
    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(items(f->lst()), kLabels);
    QCOMPARE(items(&f->lstAct), kLabels);
    QCOMPARE(items(&f->lstAct2), kLabels);
}

// ---- rename ----

void TestSituationList::renameChangesExactLabelsOfTheSelectedPersonOnly_data()
{
    QTest::addColumn<QString>("dataFile");
    QTest::addColumn<QByteArray>("expected1");
    QTest::addColumn<QByteArray>("expected2");

    const QByteArray renamed1 = crlf({
        QStringLiteral("\"2008/03/01\",\"朝起きて\",70.5,\"\",0,\"\""),
        QStringLiteral("\"2008/03/02\",\"朝食後\",70.1,\"メモ\",0,\"\""),
        QStringLiteral("\"2008/03/03\",\"夜\",69.8,\"\",0,\"\""),
        QStringLiteral("\"2008/03/04\",\"朝起きて\",69.5,\"\",0,\"x\""),
    });
    const QByteArray renamed2 = crlf({
        QStringLiteral("\"2008/03/01\",\"朝起きて\",60,\"\",0,\"\""),
        QStringLiteral("\"2008/03/05\",\"朝ごはん\",59.5,\"\",0,\"\""),
    });
    QTest::newRow("person 1") << kData1 << renamed1 << kData2Bytes;
    QTest::newRow("person 2") << kData2 << kData1Bytes << renamed2;
}

void TestSituationList::renameChangesExactLabelsOfTheSelectedPersonOnly()
{
    QFETCH(QString, dataFile);
    QFETCH(QByteArray, expected1);
    QFETCH(QByteArray, expected2);

    // A bare line with a comma, and the label twice (once quoted).
    f->tmp.writeBytes(kList, crlf({QStringLiteral("朝"), QStringLiteral("夜"),
                                    QStringLiteral("散歩,ジョギング"), QStringLiteral("\"朝\"")}));
    QVERIFY(!f->lists.LoadSituationList(f->session.dir));
    f->session.person.select(dataFile == kData2 ? PersonSlot::Two : PersonSlot::One);
    QSignalSpy renamed(&f->editor, &SituationListEditor::renamed);

    f->clickLabel(0);
    f->txtChg()->setText(QStringLiteral("朝起きて"));
    f->clickButton("cmdChg");

    QCOMPARE(f->dialogs.calls.size(), 2);
    QCOMPARE(box(f->dialogs.calls.at(0)),
             box(QStringLiteral("『朝』 を 『朝起きて』 に変更します。よろしいですか？"),
                 QStringLiteral("クリア確認"), Icon::Exclamation, Buttons::OkCancel));
    QCOMPARE(box(f->dialogs.calls.at(1)),
             box(QStringLiteral("コメントを入れ替えました。"), QStringLiteral("コメント変更終了"),
                 Icon::Information, Buttons::Ok));
    QCOMPARE(renamed.count(), 1);

    QCOMPARE(f->file(kData1), expected1);
    QCOMPARE(f->file(kData2), expected2);
    // Every item quoted, the bare comma line split into its two items.
    QCOMPARE(f->file(kList),
             crlf({QStringLiteral("\"朝起きて\""), QStringLiteral("\"夜\""),
                    QStringLiteral("\"散歩\""), QStringLiteral("\"ジョギング\""),
                    QStringLiteral("\"朝起きて\"")}));
    const QStringList reloaded = {QStringLiteral("朝起きて"), QStringLiteral("夜"),
                                  QStringLiteral("散歩"), QStringLiteral("ジョギング"),
                                  QStringLiteral("朝起きて")};
    QCOMPARE(items(f->lst()), reloaded);
    QCOMPARE(items(&f->lstAct), reloaded);
    QCOMPARE(items(&f->lstAct2), reloaded);
    QVERIFY(!f->tmp.exists(QStringLiteral("データＣＨＧ.txt")));
    QVERIFY(!f->tmp.exists(QStringLiteral("状況リストＣＨＧ.txt")));
}

void TestSituationList::renameToATextWithACommaKeepsOneLabel()
{
    f->clickLabel(1);
    f->txtChg()->setText(QStringLiteral("散歩,ジョギング"));
    f->clickButton("cmdChg");

    QCOMPARE(f->dialogs.titles().last(), QStringLiteral("コメント変更終了"));
    const QStringList expected = {kLabels[0], QStringLiteral("散歩,ジョギング"), kLabels[2],
                                  kLabels[3]};
    QCOMPARE(items(f->lst()), expected);
    // Read again as at the next start: still one label.
    QVERIFY(!f->lists.LoadSituationList(f->session.dir));
    QCOMPARE(items(&f->lstAct), expected);
}

void TestSituationList::aLabelWithACommaSurvivesDeleteOrReorderAfterARename_data()
{
    QTest::addColumn<bool>("reorder");
    QTest::newRow("delete") << false;
    QTest::newRow("reorder") << true;
}

void TestSituationList::aLabelWithACommaSurvivesDeleteOrReorderAfterARename()
{
    QFETCH(bool, reorder);
    f->clickLabel(1);
    f->txtChg()->setText(QStringLiteral("散歩,ジョギング"));
    f->clickButton("cmdChg");
    for (const QByteArray &line : f->file(kList).split('\n'))
        QVERIFY2(line.isEmpty() || line.startsWith('"'), line.constData());

    QStringList written;
    if (reorder) {
        // Last label onto the first, then save.
        QTest::mousePress(f->lst()->viewport(), Qt::LeftButton, {}, f->centreOf(3));
        QTest::mouseMove(f->lst()->viewport(), f->centreOf(0));
        QTest::mouseRelease(f->lst()->viewport(), Qt::LeftButton, {}, f->centreOf(0));
        f->clickButton("cmdSort");
        written = {kLabels[3], kLabels[0], QStringLiteral("散歩,ジョギング"), kLabels[2]};
    } else {
        f->clickLabel(0);
        f->clickButton("cmdDel");
        written = {QStringLiteral("散歩,ジョギング"), kLabels[2], kLabels[3]};
    }
    // Bare lines again, but the label with the comma stays quoted...
    QStringList lines;
    for (const QString &l : std::as_const(written))
        lines.append(l.contains(u',') ? u'"' + l + u'"' : l);
    QCOMPARE(f->file(kList), crlf(lines));
    QCOMPARE(items(&f->lstAct), written);

    // ...so the next start reads the same labels.
    QVERIFY(!f->lists.LoadSituationList(f->session.dir));
    QCOMPARE(items(&f->lstAct), written);
}

void TestSituationList::renameNeedsANewText()
{
    QSignalSpy renamed(&f->editor, &SituationListEditor::renamed);
    f->clickLabel(0);
    f->clickButton("cmdChg");

    QCOMPARE(f->dialogs.calls.size(), 1);
    QCOMPARE(box(f->dialogs.calls.at(0)),
             box(QStringLiteral("変更したいコメントを入力してください"),
                 QStringLiteral("変更後コメント未入力"), Icon::Exclamation, Buttons::Ok));
    QCOMPARE(renamed.count(), 0);
    QCOMPARE(f->file(kData1), kData1Bytes);
    QCOMPARE(f->file(kList), crlf(kLabels));
}

void TestSituationList::renameCancelledChangesNothing()
{
    QSignalSpy renamed(&f->editor, &SituationListEditor::renamed);
    f->clickLabel(0);
    f->txtChg()->setText(QStringLiteral("朝起きて"));
    f->dialogs.queueAnswer(Answer::Cancel);
    f->clickButton("cmdChg");

    QCOMPARE(f->dialogs.calls.size(), 1);
    QCOMPARE(renamed.count(), 0);
    QCOMPARE(f->file(kData1), kData1Bytes);
    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(items(f->lst()), kLabels);
    QCOMPARE(f->dialogs.calls.size(), 1);
}

void TestSituationList::renameRefusesTextTheFileCannotHold()
{
    QSignalSpy renamed(&f->editor, &SituationListEditor::renamed);
    f->clickLabel(0);
    for (const QString &text : {QStringLiteral("朝\"ごはん"), QStringLiteral("아침")}) {
        f->dialogs.clear();
        f->txtChg()->setText(text);
        f->clickButton("cmdChg");
        // Refused before the question, so nothing can be written.
        QCOMPARE(f->dialogs.calls.size(), 1);
        const auto &refusal = f->dialogs.calls.at(0);
        QCOMPARE(refusal.title, QStringLiteral("コメント変更"));
        QCOMPARE(refusal.icon, Icon::Exclamation);
        QVERIFY2(refusal.text.startsWith(QStringLiteral("このコメントは記録できません。\n\n")),
                 qPrintable(refusal.text));
    }
    QCOMPARE(renamed.count(), 0);
    QCOMPARE(f->file(kData1), kData1Bytes);
    QCOMPARE(f->file(kList), crlf(kLabels));
}

void TestSituationList::renameThatCannotReadOrWriteChangesNothing_data()
{
    QTest::addColumn<bool>("dataFileMissing");
    QTest::newRow("disk full") << false;
    QTest::newRow("data file missing") << true;
}

void TestSituationList::renameThatCannotReadOrWriteChangesNothing()
{
    QFETCH(bool, dataFileMissing);
    QSignalSpy renamed(&f->editor, &SituationListEditor::renamed);
    f->clickLabel(0);
    f->txtChg()->setText(QStringLiteral("朝起きて"));
    if (dataFileMissing)
        QVERIFY(QFile::remove(f->tmp.filePath(kData1)));
    else
        store::faults::setHook(failEveryWrite);
    f->clickButton("cmdChg");

    QCOMPARE(f->dialogs.calls.size(), 2);
    const auto &error = f->dialogs.calls.at(1);
    QCOMPARE(error.icon, Icon::Critical);
    QCOMPARE(error.title, QStringLiteral("保存エラー"));
    QVERIFY2(error.text.startsWith(QStringLiteral("コメントを入れ替えられませんでした。\n\n")),
             qPrintable(error.text));
    QVERIFY2(error.text.contains(kData1), qPrintable(error.text));
    QCOMPARE(renamed.count(), 0);
    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(f->file(kData1), dataFileMissing ? QByteArray() : kData1Bytes);
    QCOMPARE(f->file(kData2), kData2Bytes);
    QCOMPARE(items(f->lst()), kLabels);
    QCOMPARE(items(&f->lstAct), kLabels);
}

// ---- drag and drop, save the order ----

void TestSituationList::dragMovesTheLabelAboveTheOneReleasedOn_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to"); // -1: the empty area below the last label
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QStringList>("expected");

    const QString a = kLabels[0], b = kLabels[1], c = kLabels[2], d = kLabels[3];
    QTest::newRow("first onto third") << 0 << 2 << Qt::LeftButton << QStringList{b, a, c, d};
    QTest::newRow("fourth onto first") << 3 << 0 << Qt::LeftButton << QStringList{d, a, b, c};
    QTest::newRow("second onto fourth") << 1 << 3 << Qt::LeftButton << QStringList{a, c, b, d};
    QTest::newRow("onto the label below") << 1 << 2 << Qt::LeftButton << kLabels;
    QTest::newRow("onto itself") << 2 << 2 << Qt::LeftButton << kLabels;
    QTest::newRow("first below the last") << 0 << -1 << Qt::LeftButton << QStringList{b, c, a, d};
    QTest::newRow("last below the last") << 3 << -1 << Qt::LeftButton << kLabels;
    QTest::newRow("right button") << 2 << 0 << Qt::RightButton << QStringList{c, a, b, d};
}

void TestSituationList::dragMovesTheLabelAboveTheOneReleasedOn()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QStringList, expected);

    QWidget *viewport = f->lst()->viewport();
    QTest::mousePress(viewport, button, {}, f->centreOf(from));
    QCOMPARE(f->editor.DragIndex, from);
    QCOMPARE(f->editor.DragLabel, kLabels[from]);

    // The selection follows the pointer over every label on the way.
    const int target = to < 0 ? kLabels.size() - 1 : to;
    const QPoint end = to < 0 ? f->belowLastLabel() : f->centreOf(to);
    const int step = from <= target ? 1 : -1;
    for (int row = from; row != target; row += step) {
        QTest::mouseMove(viewport, f->centreOf(row + step));
        QCOMPARE(f->selectedRow(), row + step);
    }
    QTest::mouseMove(viewport, end);
    QCOMPARE(f->selectedRow(), target);
    QCOMPARE(items(f->lst()), kLabels); // nothing moves before the release
    QTest::mouseRelease(viewport, button, {}, end);

    QCOMPARE(items(f->lst()), expected);
    const bool moved = expected != kLabels;
    if (moved) {
        QCOMPARE(f->lst()->currentItem()->text(), kLabels[from]);
        QCOMPARE(backColor(f->cmdSort()), toColor(palette::kOrange));
    } else {
        QVERIFY(!backColor(f->cmdSort()).isValid());
    }
    // Only the working copy has changed.
    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(items(&f->lstAct), kLabels);
    QCOMPARE(items(&f->lstAct2), kLabels);
    QVERIFY(f->dialogs.calls.isEmpty());
}

void TestSituationList::dragStartedBesideTheLabelsMovesNothing()
{
    f->clickLabel(1);
    QWidget *viewport = f->lst()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, f->belowLastLabel());
    QTest::mouseMove(viewport, f->centreOf(3));
    QTest::mouseMove(viewport, f->centreOf(0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, f->centreOf(0));

    QCOMPARE(items(f->lst()), kLabels);
    QCOMPARE(f->selectedRow(), 1);
    QVERIFY(!backColor(f->cmdSort()).isValid());
}

void TestSituationList::listJoiningLaterShowsTheSavedListNotTheWorkingCopy()
{
    // A screen built only now (the weight or search screen opened the
    // first time) gets the list as saved, not a drag not yet saved.
    f->dragFirstLabelAboveThird();
    QVERIFY(items(f->lst()) != kLabels);
    QListView late;
    f->lists.attachMirror(&late);
    QCOMPARE(items(&late), kLabels);

    // Then it follows every change with the others.
    f->clickButton("cmdSort");
    QCOMPARE(items(&late), items(f->lst()));
    QCOMPARE(items(&late), items(&f->lstAct));
}

void TestSituationList::sortSavesTheDraggedOrder()
{
    f->dragFirstLabelAboveThird();
    QCOMPARE(backColor(f->cmdSort()), toColor(palette::kOrange));

    f->clickButton("cmdSort");

    const QStringList order = {kLabels[1], kLabels[0], kLabels[2], kLabels[3]};
    QCOMPARE(f->dialogs.calls.size(), 1);
    QCOMPARE(box(f->dialogs.calls.at(0)),
             box(QStringLiteral("並び替えた順番で状況リストを作成しました"),
                 QStringLiteral("並び替え完了"), Icon::Information, Buttons::Ok));
    QCOMPARE(f->file(kList), crlf(order));
    QCOMPARE(items(&f->lstAct), order);
    QCOMPARE(items(&f->lstAct2), order);
    QVERIFY(!backColor(f->cmdSort()).isValid());
}

void TestSituationList::deleteAfterADragSavesTheDraggedOrder()
{
    // A delete writes the whole working copy, so the dragged order is saved
    // with it and cmdSort no longer shows an unsaved order.
    QWidget *viewport = f->lst()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, f->centreOf(3));
    QTest::mouseMove(viewport, f->centreOf(0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, f->centreOf(0));
    f->clickLabel(2);
    f->clickButton("cmdDel");

    QCOMPARE(f->dialogs.calls.at(0).text,
             kLabels[1] + QStringLiteral("を削除します。よろしいですか？"));
    const QStringList left = {kLabels[3], kLabels[0], kLabels[2]};
    QCOMPARE(f->file(kList), crlf(left));
    QCOMPARE(items(&f->lstAct), left);
    QVERIFY(!backColor(f->cmdSort()).isValid());
}

// ---- store failures ----

void TestSituationList::failedWriteKeepsFileAndLists_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("errorText");
    QTest::newRow("add") << "cmdNew2" << QStringLiteral("状況リストに追加できませんでした。");
    QTest::newRow("delete") << "cmdDel" << QStringLiteral("状況を削除できませんでした。");
    QTest::newRow("delete all")
        << "cmdDel2" << QStringLiteral("状況リストを削除できませんでした。");
    QTest::newRow("save order")
        << "cmdSort" << QStringLiteral("並び替えた順番を保存できませんでした。");
}

void TestSituationList::failedWriteKeepsFileAndLists()
{
    QFETCH(QString, button);
    QFETCH(QString, errorText);

    // A reordered working copy, the first label selected.
    QWidget *viewport = f->lst()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, f->centreOf(0));
    QTest::mouseMove(viewport, f->centreOf(2));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, f->centreOf(2));
    const QStringList working = items(f->lst());
    QCOMPARE(working.at(1), kLabels[0]);

    f->dialogs.queueInput(QStringLiteral("体重計の前"));
    store::faults::setHook(failEveryWrite);
    f->clickButton(button.toLatin1().constData());

    QVERIFY(!f->dialogs.calls.isEmpty());
    const auto &error = f->dialogs.calls.last();
    QCOMPARE(error.icon, Icon::Critical);
    QCOMPARE(error.title, QStringLiteral("保存エラー"));
    QVERIFY2(error.text.startsWith(errorText + QStringLiteral("\n\n")), qPrintable(error.text));
    QVERIFY2(error.text.contains(kList), qPrintable(error.text));

    QCOMPARE(f->file(kList), crlf(kLabels));
    QCOMPARE(items(f->lst()), working);
    QCOMPARE(items(&f->lstAct), kLabels);
    QCOMPARE(items(&f->lstAct2), kLabels);
    // The order is still unsaved, and cmdSort still says so.
    QCOMPARE(backColor(f->cmdSort()), toColor(palette::kOrange));
}

QTEST_MAIN(TestSituationList)
#include "test_situation_list.moc"
