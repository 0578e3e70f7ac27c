#include "setup/settings_panel.h"

#include "core/session.h"
#include "setup/csv_buttons.h"
#include "setup/registration.h"
#include "setup/registration_frame.h"
#include "setup/restore_dialog.h"
#include "setup/situation_list_editor.h"
#include "store/backup.h"
#include "store/data_file.h"
#include "ui/dialogs.h"
#include "store/format.h"
#include "store/settings_files.h"
#include "ui/bmi_meter_view.h"
#include "ui/store_error_box.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SettingsPanel::SettingsPanel(Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraSettei"));

    content_ = new QWidget(this);
    largeMeter_ = new LargeBmiMeter(content_);
    editor_ = new SituationListEditor(s_, content_);

    auto *profile = new QGroupBox(QStringLiteral("プライベートデータ"), content_);
    txtPriData_ = new QLineEdit(profile);
    txtPriData_->setObjectName(QStringLiteral("txtPriData"));
    txtSincyou_ = new QLineEdit(profile);
    txtSincyou_->setObjectName(QStringLiteral("txtSincyou"));
    txtMokuTai_ = new QLineEdit(profile);
    txtMokuTai_->setObjectName(QStringLiteral("txtMokuTai"));
    cmdPHozon1_ = new QPushButton(QStringLiteral("データ変更"), profile);
    cmdPHozon1_->setObjectName(QStringLiteral("cmdPHozon1"));
    cmdPHozon1_->setToolTip(QStringLiteral("ニックネーム・身長・目標体重を保存します"));
    connect(cmdPHozon1_, &QPushButton::clicked, this, [this] { cmdPHozon1_Click(); });
    auto *form = new QFormLayout(profile);
    form->addRow(QStringLiteral("ニックネーム"), txtPriData_);
    form->addRow(QStringLiteral("身長（ｃｍ）"), txtSincyou_);
    form->addRow(QStringLiteral("目標体重（Ｋｇ）"), txtMokuTai_);
    form->addRow(QString(), cmdPHozon1_);

    cmdNew1_ = new QPushButton(QStringLiteral("新規にスタートするとき"), content_);
    cmdNew1_->setObjectName(QStringLiteral("cmdNew1"));
    cmdNew1_->setToolTip(QStringLiteral("二人の記録を消して、ダイエットを新しく始めます"));
    connect(cmdNew1_, &QPushButton::clicked, this, [this] { cmdNew1_Click(); });

    auto *options = new QGroupBox(QStringLiteral("入力の設定"), content_);
    chkJikan_ = new QCheckBox(QStringLiteral("一言日記に自動的に時間を記録"), options);
    chkJikan_->setObjectName(QStringLiteral("chkJikan"));
    connect(chkJikan_, &QCheckBox::clicked, this, [this] { chkJikan_Click(); });
    auto *optLayout = new QVBoxLayout(options);
    optLayout->addWidget(chkJikan_);
    optLayout->addStretch(1);

    // Records in and out for other programs; the window shows what an
    // import added as it shows a saved record.
    auto *csvButtons = new CsvButtons(s_, content_);
    connect(csvButtons, &CsvButtons::recordsImported, this, [this] { Q_EMIT dayViewWanted(); });

    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(profile);
    rightColumn->addWidget(options);
    rightColumn->addWidget(csvButtons);
    rightColumn->addWidget(cmdNew1_);
    rightColumn->addWidget(makeRestoreButton(s_, content_, [this] { Q_EMIT filesReplaced(); }));
    rightColumn->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(editor_, 3);
    bottom->addLayout(rightColumn, 2);

    auto *layout = new QVBoxLayout(content_);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addWidget(largeMeter_);
    layout->addLayout(bottom, 1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(content_);

    // The registration lies over the screen while it shows.
    fraNew_ = new RegistrationFrame(s_, this);
    connect(fraNew_, &RegistrationFrame::abandoned, this, [this] { content_->setEnabled(true); });
    connect(fraNew_, &RegistrationFrame::finished, this, [this] { content_->setEnabled(true); });
}

void SettingsPanel::placeRegistration()
{
    const QSize hint = fraNew_->sizeHint().expandedTo(QSize(420, 0)).boundedTo(size());
    fraNew_->setGeometry(QRect(QPoint((width() - hint.width()) / 2, (height() - hint.height()) / 3), hint));
}

void SettingsPanel::resizeEvent(QResizeEvent *event)
{
    Screen::resizeEvent(event);
    placeRegistration();
}

void SettingsPanel::cmdNew1_Click()
{
    placeRegistration();
    fraNew_->open(PersonSlot::One, PersonSlot::Two);
}

void SettingsPanel::openFirstRegistration(PersonSlot first, PersonSlot last)
{
    // Nothing else on this screen has files to work on yet.
    content_->setEnabled(false);
    placeRegistration();
    fraNew_->open(first, last);
}

void SettingsPanel::cmdPHozon1_Click()
{
    PersonProfile p;
    if (auto refusal = setup::checkProfileEdit({txtPriData_->text(), txtSincyou_->text(), txtMokuTai_->text()}, &p)) {
        s_.dialogs.message(this, refusal->text, refusal->title,
                           refusal->exclamation ? Dialogs::Icon::Exclamation : Dialogs::Icon::Information,
                           Dialogs::Buttons::Ok);
        return;
    }
    // The profile as it was is kept under backup/ first; without that
    // copy nothing is written.
    if (MaybeError e = store::takeSnapshot(s_.dir, QStringLiteral("profile"), {s_.person.ProfileFileName()},
                                           s_.clock)) {
        showStoreError(s_.dialogs, this, QStringLiteral("プライベートデータを保存できませんでした。"), *e);
        return;
    }
    if (MaybeError e = store::saveProfile(s_.dir, s_.person.ProfileFileName(), p)) {
        showStoreError(s_.dialogs, this, QStringLiteral("プライベートデータを保存できませんでした。"), *e);
        return;
    }
    s_.person.setProfile(s_.person.selected(), p);
    showProfile(); // the numbers as stored, full-width digits made ASCII
    s_.dialogs.message(this, QStringLiteral("保存が終了しました"), QStringLiteral("保存終了"),
                       Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

void SettingsPanel::rebuild()
{
    showProfile();
    editor_->disableSelectionButtons();
}

void SettingsPanel::personChanged(bool visible)
{
    if (!visible)
        return;
    rebuild();
    Q_EMIT dayViewWanted();
}

QString SettingsPanel::helpText() const
{
    return QStringLiteral(
        u"これまでのデータを削除して新規にダイエットをスタートさせたり、各種データの編集を行います。\r\n"
        u"\r\n"
        u"体重と共に登録する状況項目を追加したり、順番の並び替え、削除ができます。\r\n"
        u"\r\n"
        u"ＢＭＩメーターではスクロールバーを可変させることでＢＭＩ値と肥満度をシミュレーションできます。\r\n"
        u"\r\n"
        u"入力時の時間を記録したい場合は「一言日記に自動的に時間を記録」にチェックを入れてください。\r\n"
        u"\r\n");
}

void SettingsPanel::showProfile()
{
    txtPriData_->setText(s_.person.current().nickname);
    txtSincyou_->setText(fmt::shortest(s_.person.current().height));
    txtMokuTai_->setText(fmt::shortest(s_.person.current().targetWeight));
}

void SettingsPanel::showAutoTime(int state)
{
    s_.settings.AutoTime = state != 0 ? 1 : 0;
    chkJikan_->setChecked(state != 0);
}

void SettingsPanel::chkJikan_Click()
{
    s_.settings.AutoTime = chkJikan_->isChecked() ? 1 : 0;
    if (MaybeError e = store::writeAutoTime(s_.dir, s_.settings.AutoTime))
        showStoreError(s_.dialogs, this, QStringLiteral("設定を保存できませんでした。"), *e);
}
