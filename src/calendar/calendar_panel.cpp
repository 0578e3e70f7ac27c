#include "calendar/calendar_panel.h"

#include "core/session.h"
#include "ui/art/art_paths.h"
#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/named.h"
#include "ui/paint_once.h"
#include "ui/store_error_box.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace calendar;

namespace {

// A legend entry: the label is its own swatch.
QLabel *swatch(const QString &name, Rgb colour, QWidget *parent)
{
    auto *l = named(new QLabel(parent), name);
    l->setContentsMargins(8, 4, 8, 4);
    setBackColor(l, colour == palette::kDefault ? QColor(Qt::white) : toColor(colour));
    return l;
}

} // namespace

CalendarPanel::CalendarPanel(const Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraCale"));
    buildControls();
    InitCalendarGrid();
    clearLegend();
}

QString CalendarPanel::helpText() const
{
    return QStringLiteral(
        u"一日の中で体重増減状況を色で把握できるカレンダーです。\r\n"
        u"\r\n"
        u"体重が減っていれば「緑色」、増減がなければ「黄色」、増えちゃったら「赤色」です。\r\n"
        u"一日の中で１回しか測定しなかった日は「紫色」で表しています。\r\n"
        u"\r\n"
        u"詳細／簡易ボタンで「増えた日/１回測定」と「減った日/増減無し」に切り替えられます\r\n"
        u"\r\n"
        u"赤色以外を増やすようにがんばりましょう！");
}

void CalendarPanel::rebuild() { display(Mode::Detail); }

void CalendarPanel::personChanged(bool visible)
{
    // A hidden calendar is filled afresh when it is opened.
    if (visible)
        display(Mode::Detail);
}

void CalendarPanel::buildControls()
{
    // One column, as wide as the grid's 32 columns and centred: the mode
    // buttons above the grid, the legend and the verdict under it.
    auto *column = new QWidget(this);

    msgList2_ = named(new Grid(column), QStringLiteral("msgList2"));
    // On a narrow window of a dense screen the grid scrolls sideways rather
    // than squeezing the days.
    msgList2_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    msgList2_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(msgList2_, &Grid::cellDoubleClicked, this,
            [this](int row, int col) { msgList2_DblClick(row, col); });

    const char *const modeCaptions[2] = {"詳細表示", "簡易表示"};
    const char *const modeTips[2] = {"増減無しの日を黄色、１回だけの日を紫色で表示します",
                                     "増減無しの日を緑、１回だけの日を赤で表示します"};
    auto *top = new QHBoxLayout;
    top->setSpacing(6);
    for (int i = 0; i < 2; ++i) {
        auto *b = named(new ColourButton(QString::fromUtf8(modeCaptions[i]), column),
                        QStringLiteral("cmdSel1_%1").arg(i));
        b->setToolTip(QString::fromUtf8(modeTips[i]));
        b->setMinimumSize(104, 28);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdSel1_Click(i); });
        cmdSel1_[i] = b;
        top->addWidget(b);
    }
    top->addSpacing(12);
    auto *hint = new QLabel(QStringLiteral("日をダブルクリックすると、その日の入力画面を開きます"), column);
    hint->setEnabled(false); // drawn as a quiet hint
    top->addWidget(hint, 1);

    // Legend: each label is its own swatch.
    lblDn_c_ = swatch(QStringLiteral("lblDn_c"), palette::kGreen, column);
    lblSm_c_ = swatch(QStringLiteral("lblSm_c"), palette::kYellow, column);
    lblOne_c_ = swatch(QStringLiteral("lblOne_c"), palette::kPurple, column);
    lblUp_c_ = swatch(QStringLiteral("lblUp_c"), palette::kRed, column);
    lblNon_c_ = swatch(QStringLiteral("lblNon_c"), palette::kDefault, column);
    lblNon_c_->setToolTip(QStringLiteral("最初の記録の日から昨日までで、記録のない日数です"));
    auto *legend = new QHBoxLayout;
    legend->setSpacing(6);
    for (QLabel *l : {lblDn_c_, lblSm_c_, lblOne_c_, lblUp_c_, lblNon_c_})
        legend->addWidget(l, 1);

    // Verdict: the good days against the bad days, the sign between them
    // and the face after them.
    Label6_[1] = named(new QLabel(QStringLiteral("体重減 ／ 増減無し"), column), QStringLiteral("Label6_1"));
    Label6_[0] = named(new QLabel(QStringLiteral("体重増 ／ １回だけ"), column), QStringLiteral("Label6_0"));
    lblGenT_ = named(new QLabel(column), QStringLiteral("lblGenT"));
    lblZouT_ = named(new QLabel(column), QStringLiteral("lblZouT"));
    lblHugou_ = named(new QLabel(column), QStringLiteral("lblHugou"));
    QFont big = lblHugou_->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    lblHugou_->setFont(big);
    lblHugou_->setAlignment(Qt::AlignCenter);
    lblHugou_->setMinimumWidth(48);
    QFont bold = lblGenT_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    for (QLabel *l : {lblGenT_, lblZouT_}) {
        l->setFont(bold);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->setMinimumWidth(64);
    }

    imgKana2_ = named(new Picture(QString::fromLatin1(art::kFaceSulk), column), QStringLiteral("imgKana2"));
    imgNiko2_ = named(new Picture(QString::fromLatin1(art::kFaceSmile), column), QStringLiteral("imgNiko2"));
    imgWara2_ = named(new Picture(QString::fromLatin1(art::kFaceLaugh), column), QStringLiteral("imgWara2"));
    auto *faces = new QGridLayout;
    for (Picture *p : {imgKana2_, imgNiko2_, imgWara2_}) {
        p->setFixedSize(52, 52);
        faces->addWidget(p, 0, 0);
    }

    auto *verdict = new QHBoxLayout;
    verdict->setSpacing(8);
    verdict->addWidget(Label6_[1]);
    verdict->addWidget(lblGenT_);
    verdict->addWidget(lblHugou_);
    verdict->addWidget(Label6_[0]);
    verdict->addWidget(lblZouT_);
    verdict->addSpacing(8);
    verdict->addLayout(faces);
    verdict->addStretch(1);

    auto *inner = new QVBoxLayout(column);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(6);
    inner->addLayout(top);
    inner->addWidget(msgList2_, 1);
    inner->addSpacing(2);
    inner->addLayout(legend);
    inner->addLayout(verdict);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->addStretch(1);
    layout->addWidget(column, 100);
    layout->addStretch(1);
    column_ = column;
}

void CalendarPanel::InitCalendarGrid()
{
    msgList2_->setColumns(gridColumns());
    // No wider than its columns, so no blank band lies beside the days.
    column_->setMaximumWidth(msgList2_->horizontalHeader()->length() + 2 * msgList2_->frameWidth()
                             + msgList2_->verticalScrollBar()->sizeHint().width());
}

MaybeError CalendarPanel::FillCalendar()
{
    QList<WeightRecord> records;
    if (MaybeError e = s_.records.read(s_.person.selected(), &records)) {
        clearLegend();
        return e;
    }
    const CalendarView v = buildCalendar(records, s_.clock.today(), mode_);
    // Opened on the latest months: the newest row shows at the bottom.
    msgList2_->showTable(v.rows, true);
    showLegend(v);
    return std::nullopt;
}

void CalendarPanel::display(Mode mode)
{
    MaybeError e;
    {
        PaintOnce once(this);
        mode_ = mode;
        const ModeButtons b = modeButtons(mode);
        cmdSel1_[0]->setBackColor(toColor(b.cmdSel1_0));
        cmdSel1_[1]->setBackColor(toColor(b.cmdSel1_1));
        InitCalendarGrid();
        e = FillCalendar();
    }
    // Told once the panel shows what it could do: an empty calendar.
    if (e)
        showStoreError(s_.dialogs, this, QStringLiteral("カレンダーを作れませんでした。記録を読み込めません。"),
                       *e, QStringLiteral("読み込みエラー"));
}

void CalendarPanel::showLegend(const CalendarView &v)
{
    lblDn_c_->setText(v.lblDn_c);
    lblSm_c_->setText(v.lblSm_c);
    lblOne_c_->setText(v.lblOne_c);
    lblUp_c_->setText(v.lblUp_c);
    lblNon_c_->setText(v.lblNon_c);
    lblGenT_->setText(v.lblGenT);
    lblZouT_->setText(v.lblZouT);
    lblHugou_->setText(v.lblHugou);
    imgWara2_->setVisible(v.face == Face::Laugh);
    imgNiko2_->setVisible(v.face == Face::Smile);
    imgKana2_->setVisible(v.face == Face::Sad);
}

// Nothing read, nothing counted: no figure that could be taken for one.
void CalendarPanel::clearLegend()
{
    for (QLabel *l : {lblDn_c_, lblSm_c_, lblOne_c_, lblUp_c_, lblNon_c_, lblGenT_, lblZouT_, lblHugou_})
        l->clear();
    for (Picture *p : {imgKana2_, imgNiko2_, imgWara2_})
        p->hide();
}

void CalendarPanel::cmdSel1_Click(int index)
{
    display(index == 1 ? Mode::Simple : Mode::Detail);
}

void CalendarPanel::msgList2_DblClick(int row, int col)
{
    // The month title of the clicked row names the year and month.
    const std::optional<QDate> day = dateAt(row, col, msgList2_->textMatrix(row, 0));
    if (!day)
        return; // the header, the month column or a day the month does not have
    Q_EMIT dayOpened(*day);
}
