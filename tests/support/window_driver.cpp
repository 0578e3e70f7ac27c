#include "window_driver.h"

#include "app/application_setup.h"
#include <QFont>

#include "store/codec.h"
#include "ui/grid.h"
#include "ui/line_chart.h"
#include "ui/month_calendar.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QAbstractButton>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QFrame>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

namespace wintest {

namespace {

QtMessageHandler previousHandler = nullptr;

void dropPlatformNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void setUpWindowTests()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The program's own font, so widths are measured as the user sees them.
    QFont font = QApplication::font();
    font.setFamilies(japaneseFontFamilies());
    QApplication::setFont(font);
    // Closing a window under test must not end the test program's loop.
    QApplication::setQuitOnLastWindowClosed(false);
    // The offscreen platform says for every window that it cannot size or
    // raise it; that says nothing about the program.
    if (!previousHandler)
        previousHandler = qInstallMessageHandler(dropPlatformNoise);
}

QString rec(const QString &date, const QString &situation, const QString &weight,
            const QString &diary)
{
    return QStringLiteral("\"%1\",\"%2\",%3,\"%4\",\"\",\"\"").arg(date, situation, weight, diary);
}

namespace {

QString profileText(const Profile &p)
{
    return QStringLiteral("\"氏名\",\"%1\"\r\n\"身長\",%2\r\n\"目標体重\",%3\r\n")
        .arg(p.nickname, p.height, p.target);
}

const char *const kPanels[] = {"fraMain",   "fraAvgTai", "fraBunseki", "fraRenTai", "fraCale",
                               "fraTaijyu", "fraMemo",   "fraSettei",  "fraPace"};

} // namespace

WindowDriver::WindowDriver(QDate today, QTime time) : clock(today, time) {}

WindowDriver::~WindowDriver() = default;

void WindowDriver::writeFiles(const DataSet &files) const
{
    tmp.writeBytes(kProfile1, sjis(profileText(files.person1)));
    tmp.writeBytes(kProfile2, sjis(profileText(files.person2)));
    tmp.writeBytes(kData1, crlf(files.records1));
    tmp.writeBytes(kData2, crlf(files.records2));
    tmp.writeBytes(kHelpSetting, crlf({QStringLiteral("\"ヘルプツアー\",%1").arg(files.helpFlag)}));
    tmp.writeBytes(kStepSetting, crlf({files.step}));
    tmp.writeBytes(kAverageSetting, crlf({files.movingAverage}));
    tmp.writeBytes(kAutoTimeSetting, crlf({files.autoTime}));
    tmp.writeBytes(kMarkerSetting, crlf({files.markerMode}));
    tmp.writeBytes(kSituationList, crlf(files.situations));
    tmp.writeBytes(kMemo, crlf({files.memo}));
}

bool WindowDriver::start(MainWindow::Options options)
{
    window_ = std::make_unique<MainWindow>(tmp.dir(), dialogs, clock, options);
    return window_->start();
}

bool WindowDriver::restart(MainWindow::Options options)
{
    if (window_)
        window_->close();
    window_.reset();
    return start(options);
}

void WindowDriver::reportMissing(const QString &name)
{
    QTest::qFail(qPrintable(QStringLiteral("no control named %1").arg(name)), __FILE__, __LINE__);
}

void WindowDriver::click(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return;
    // A check box or option button answers on its box and its caption
    // only; a wide one would ignore a click in its middle.
    if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w))
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
    else
        QTest::mouseClick(w, Qt::LeftButton);
}

QStringList WindowDriver::viewItems(const QAbstractItemView *view)
{
    QStringList out;
    const QAbstractItemModel *m = view ? view->model() : nullptr;
    for (int i = 0; m && i < m->rowCount(); ++i)
        out.append(m->index(i, 0).data().toString());
    return out;
}

bool WindowDriver::clickViewItem(QAbstractItemView *view, const QString &label)
{
    const int row = int(viewItems(view).indexOf(label));
    if (row < 0)
        return false;
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    return true;
}

void WindowDriver::clickSituation(const QString &label) const
{
    if (!clickViewItem(find<QAbstractItemView>(QStringLiteral("lstAct")), label))
        QTest::qFail(qPrintable(QStringLiteral("no situation %1 in lstAct").arg(label)), __FILE__,
                     __LINE__);
}

void WindowDriver::pickDay(QDate day) const
{
    auto *cal = find<MonthCalendar>(QStringLiteral("mtvmain"));
    if (!cal)
        return;
    auto *view = cal->findChild<QTableView *>();
    if (!view) {
        QTest::qFail("mtvmain has no day table", __FILE__, __LINE__);
        return;
    }
    // Row 0 holds the weekday names. A day number appears twice at most
    // (once from a neighbouring month): the first match is this month's for
    // the early days, the last match for the late ones.
    const QAbstractItemModel *model = view->model();
    const QString wanted = QString::number(day.day());
    QModelIndex hit;
    for (int r = 1; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex i = model->index(r, c);
            if (model->data(i, Qt::DisplayRole).toString() != wanted)
                continue;
            if (day.day() >= 15 || !hit.isValid())
                hit = i;
        }
    if (!hit.isValid()) {
        QTest::qFail("day not shown in mtvmain", __FILE__, __LINE__);
        return;
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(hit).center());
}

void WindowDriver::focusByClick(const QString &name) const
{
    QWidget *w = find(name);
    if (!w)
        return;
    QApplication::setActiveWindow(w->window());
    // A combo box is clicked in its text part, not on its arrow.
    QWidget *target = w;
    if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->lineEdit())
        target = combo->lineEdit();
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 3, target->height() / 2));
    if (!w->hasFocus() && !w->isAncestorOf(QApplication::focusWidget()))
        QTest::qFail(qPrintable(QStringLiteral("a click did not give %1 the focus").arg(name)),
                     __FILE__, __LINE__);
}

QWidget *WindowDriver::focused() const
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        QTest::qFail("no widget has the focus", __FILE__, __LINE__);
    return w;
}

void WindowDriver::type(const QString &text) const
{
    QWidget *w = focused();
    if (!w)
        return;
    // Key clicks carry Latin-1 only; other text arrives the way an input
    // method commits it, to the widget that holds the focus.
    bool latin1 = true;
    for (QChar c : text)
        latin1 = latin1 && c.unicode() < 0x80;
    if (latin1) {
        QTest::keyClicks(w, text);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(w, &commit);
    }
}

void WindowDriver::press(int key, Qt::KeyboardModifiers modifiers) const
{
    if (QWidget *w = focused())
        QTest::keyClick(w, Qt::Key(key), modifiers);
}

void WindowDriver::typeAndEnter(const QString &name, const QString &text) const
{
    focusByClick(name);
    press(Qt::Key_A, Qt::ControlModifier); // select what the box holds
    press(Qt::Key_Delete);
    type(text);
    press(Qt::Key_Return);
}

namespace {

bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLabel *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QAbstractScrollArea *>(w)
           || qobject_cast<const QCalendarWidget *>(w) || qobject_cast<const QGroupBox *>(w)
           || qobject_cast<const QScrollBar *>(w);
}

// Controls that are parts of a bigger one (a calendar's buttons, a grid's
// headers, a combo box's edit) are that control's business.
bool insideControl(const QWidget *w, const QWidget *root)
{
    for (const QWidget *p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (isControl(p) && !qobject_cast<const QGroupBox *>(p))
            return true;
    return false;
}

QString describe(const QWidget *w)
{
    QString name = w->objectName();
    if (name.isEmpty())
        if (auto *l = qobject_cast<const QLabel *>(w))
            name = QStringLiteral("label \"%1\"").arg(l->text().left(12));
    if (name.isEmpty())
        if (auto *b = qobject_cast<const QAbstractButton *>(w))
            name = QStringLiteral("button \"%1\"").arg(b->text().left(12));
    if (name.isEmpty())
        name = QString::fromLatin1(w->metaObject()->className());
    return name;
}

} // namespace

QStringList WindowDriver::layoutFaults() const
{
    QStringList faults;
    QWidget *root = window_.get();
    if (!root)
        return faults;
    QList<QWidget *> controls;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(root) || !isControl(w) || insideControl(w, root))
            continue;
        // A meter places its marker, bands and scale marks itself.
        if (w->parentWidget() && w->parentWidget()->inherits("BmiBands"))
            continue;
        controls.append(w);
    }
    const QRect windowRect(root->mapToGlobal(QPoint(0, 0)), root->size());
    QList<QRect> rects;
    for (QWidget *w : std::as_const(controls)) {
        const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
        rects.append(r);
        if (!windowRect.contains(r))
            faults.append(describe(w) + QStringLiteral(" / outside the window"));
    }
    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            if (controls[i]->isAncestorOf(controls[j]) || controls[j]->isAncestorOf(controls[i]))
                continue;
            if (rects[i].adjusted(1, 1, -1, -1).intersects(rects[j].adjusted(1, 1, -1, -1)))
                faults.append(describe(controls[i]) + QStringLiteral(" / ") + describe(controls[j]));
        }
    return faults;
}

Grid *WindowDriver::dayList() const { return find<Grid>(QStringLiteral("msgDayList")); }

QStringList WindowDriver::dayRow(int row) const
{
    QStringList out;
    Grid *g = dayList();
    if (!g || row < 1 || row >= g->rows())
        return out;
    for (int c = 0; c < g->cols(); ++c)
        out.append(g->textMatrix(row, c));
    return out;
}

int WindowDriver::dayRowCount() const
{
    Grid *g = dayList();
    return g ? g->rows() - 1 : -1;
}

LineChart *WindowDriver::chart() const { return find<LineChart>(QStringLiteral("mcrMain")); }

QList<double> WindowDriver::chartPoints() const
{
    QList<double> out;
    LineChart *c = chart();
    if (!c)
        return out;
    for (int r = 1; r <= c->rowCount(); ++r)
        if (const std::optional<double> v = c->value(r, 1))
            out.append(*v);
    return out;
}

QStringList WindowDriver::listItems(const QString &name) const
{
    return viewItems(find<QAbstractItemView>(name));
}

QString WindowDriver::visiblePanel() const
{
    QStringList shown;
    // A screen not opened yet may not be built: it does not show either.
    for (const char *name : kPanels)
        if (auto *p = window()->findChild<QFrame *>(QString::fromLatin1(name)); p && !p->isHidden())
            shown.append(QString::fromLatin1(name));
    return shown.join(QLatin1Char('+'));
}

QMap<QString, QByteArray> WindowDriver::snapshot() const
{
    QMap<QString, QByteArray> out;
    for (const QString &name : tmp.entries())
        out.insert(name, tmp.readBytes(name));
    return out;
}

QStringList WindowDriver::boxes() const
{
    QStringList out;
    for (const ScriptedDialogs::Call &c : dialogs.calls)
        out.append(ScriptedDialogs::describe(c));
    return out;
}

} // namespace wintest
