#include "setup/registration_frame.h"

#include "core/session.h"
#include "setup/registration.h"
#include "store/backup.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/first_start.h"
#include "ui/dialogs.h"
#include "ui/store_error_box.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

RegistrationFrame::RegistrationFrame(Session &session, QWidget *parent)
    : QFrame(parent), s_(session)
{
    setObjectName(QStringLiteral("fraNew"));
    setFrameShape(QFrame::Box);
    setLineWidth(2);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xF0));
    setPalette(pal);

    auto box = [this](const char *name, const QString &tip) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(tip);
        e->installEventFilter(this);
        return e;
    };
    txtPriData1_ = box("txtPriData1", QStringLiteral("ニックネーム（必須）"));
    txtSincyou1_ = box("txtSincyou1", QStringLiteral("身長をcmで（必須）"));
    txtMokuTai1_ = box("txtMokuTai1", QStringLiteral("目標体重をKgで（必須）"));
    txtNowTai_ = box("txtNowTai", QStringLiteral("いまの体重をKgで（必須）"));
    txtNowJyou_ = box("txtNowJyou", QStringLiteral("はじめの記録の状況（必須）"));
    txtNowJyou_->setText(QStringLiteral("はじめの一歩"));
    cmdStHozon_ = new QPushButton(QStringLiteral("新規登録"), this);
    cmdStHozon_->setObjectName(QStringLiteral("cmdStHozon"));
    cmdStHozon_->setDefault(false);
    cmdStHozon_->setAutoDefault(true);
    cmdYame_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdYame_->setObjectName(QStringLiteral("cmdYame"));
    connect(cmdStHozon_, &QPushButton::clicked, this, [this] { cmdStHozon_Click(); });
    connect(cmdYame_, &QPushButton::clicked, this, [this] { cmdYame_Click(); });

    auto *title = new QLabel(QStringLiteral("新規スタート登録枠"), this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);

    auto *grid = new QGridLayout;
    const QList<QPair<QString, QLineEdit *>> rows = {
        {QStringLiteral("ニックネーム"), txtPriData1_},
        {QStringLiteral("身長（ｃｍ）"), txtSincyou1_},
        {QStringLiteral("目標体重（Ｋｇ）"), txtMokuTai1_},
        {QStringLiteral("現在の体重（Ｋｇ）"), txtNowTai_},
        {QStringLiteral("初回の状況"), txtNowJyou_},
    };
    for (int i = 0; i < rows.size(); ++i) {
        grid->addWidget(new QLabel(rows[i].first, this), i, 0);
        grid->addWidget(rows[i].second, i, 1);
    }
    grid->addWidget(new QLabel(QStringLiteral("※半角文字で入力"), this), 1, 2, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStHozon_);
    buttons->addWidget(cmdYame_);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(title);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    hide();
}

void RegistrationFrame::emptyBoxes()
{
    for (QLineEdit *e : {txtPriData1_, txtSincyou1_, txtMokuTai1_, txtNowTai_})
        e->clear();
}

void RegistrationFrame::showInfo(const QString &title, const QString &text)
{
    s_.dialogs.message(this, text, title, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

void RegistrationFrame::open(PersonSlot first, PersonSlot last)
{
    RegistrationStep = personNumber(first);
    last_ = last;
    emptyBoxes();
    show();
    raise();
    showInfo(setup::registrationTitle(),
             first == PersonSlot::One ? setup::firstPersonText() : setup::secondPersonText());
    txtPriData1_->setFocus();
}

void RegistrationFrame::cmdStHozon_Click()
{
    setup::Registration r;
    const setup::RegistrationInput in{txtPriData1_->text(), txtSincyou1_->text(),
                                      txtMokuTai1_->text(), txtNowTai_->text(), txtNowJyou_->text()};
    if (auto refusal = setup::checkRegistration(in, dates::text(s_.clock.today()), &r)) {
        s_.dialogs.message(this, refusal->text, refusal->title,
                           refusal->exclamation ? Dialogs::Icon::Exclamation : Dialogs::Icon::Information,
                           Dialogs::Buttons::Ok);
        return;
    }
    if (s_.dialogs.message(this, setup::confirmText(), setup::confirmTitle(), Dialogs::Icon::Exclamation,
                           Dialogs::Buttons::OkCancel)
        != Dialogs::Answer::Ok)
        return;

    const PersonSlot person = RegistrationStep == 1 ? PersonSlot::One : PersonSlot::Two;
    // The profile and the start record together: a crash never leaves one
    // without the other.
    // A new start replaces the person's files: their old content is kept
    // under backup/ first, and without that copy nothing is written.
    if (MaybeError e = store::takeSnapshot(s_.dir, QStringLiteral("register"),
                                           {dataFileName(person), profileFileName(person)}, s_.clock)) {
        showStoreError(s_.dialogs, this, QStringLiteral("登録を保存できませんでした。"), *e);
        return;
    }
    if (MaybeError e = store::registerPerson(s_.dir, person, r.profile, r.start)) {
        showStoreError(s_.dialogs, this, QStringLiteral("登録を保存できませんでした。"), *e);
        return;
    }
    Q_EMIT registered(person);

    if (person != last_) {
        RegistrationStep = 2;
        emptyBoxes();
        showInfo(setup::registrationTitle(), setup::secondPersonText());
        txtPriData1_->setFocus();
        return;
    }
    showInfo(setup::finishedTitle(), setup::finishedText());
    hide();
    Q_EMIT finished();
}

void RegistrationFrame::cmdYame_Click()
{
    hide();
    Q_EMIT abandoned();
}

bool RegistrationFrame::eventFilter(QObject *watched, QEvent *event)
{
    // Enter moves on to the next box, and from the last to the register
    // button; other keys are typed as usual.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QList<QWidget *> order = {txtPriData1_, txtSincyou1_, txtMokuTai1_, txtNowTai_,
                                            txtNowJyou_, cmdStHozon_};
            const qsizetype at = order.indexOf(qobject_cast<QWidget *>(watched));
            if (at >= 0 && at + 1 < order.size()) {
                order[at + 1]->setFocus();
                return true;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}
