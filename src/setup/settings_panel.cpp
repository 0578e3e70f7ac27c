#include "setup/settings_panel.h"

#include "core/help_texts.h"
#include "core/session.h"
#include "setup/situation_list_editor.h"
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
#include <QVBoxLayout>

SettingsPanel::SettingsPanel(Session &session, QWidget *parent) : Screen(parent), s_(session)
{
    setObjectName(QStringLiteral("fraSettei"));

    largeMeter_ = new LargeBmiMeter(this);
    editor_ = new SituationListEditor(s_, this);

    auto *profile = new QGroupBox(QStringLiteral("プロフィール"), this);
    txtPriData_ = new QLineEdit(profile);
    txtPriData_->setObjectName(QStringLiteral("txtPriData"));
    txtSincyou_ = new QLineEdit(profile);
    txtSincyou_->setObjectName(QStringLiteral("txtSincyou"));
    txtMokuTai_ = new QLineEdit(profile);
    txtMokuTai_->setObjectName(QStringLiteral("txtMokuTai"));
    for (QLineEdit *e : {txtPriData_, txtSincyou_, txtMokuTai_})
        e->setReadOnly(true);
    auto *form = new QFormLayout(profile);
    form->addRow(QStringLiteral("ニックネーム"), txtPriData_);
    form->addRow(QStringLiteral("身長（ｃｍ）"), txtSincyou_);
    form->addRow(QStringLiteral("目標体重（Ｋｇ）"), txtMokuTai_);

    auto *options = new QGroupBox(QStringLiteral("入力の設定"), this);
    chkJikan_ = new QCheckBox(QStringLiteral("一言日記に自動的に時間を記録"), options);
    chkJikan_->setObjectName(QStringLiteral("chkJikan"));
    connect(chkJikan_, &QCheckBox::clicked, this, [this] { chkJikan_Click(); });
    auto *optLayout = new QVBoxLayout(options);
    optLayout->addWidget(chkJikan_);
    optLayout->addStretch(1);

    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(profile);
    rightColumn->addWidget(options);
    rightColumn->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(editor_, 3);
    bottom->addLayout(rightColumn, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addWidget(largeMeter_);
    layout->addLayout(bottom, 1);
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

QString SettingsPanel::helpText() const { return helptext::cmdSettei(); }

void SettingsPanel::showProfile()
{
    txtPriData_->setText(s_.person.Nickname);
    txtSincyou_->setText(fmt::shortest(s_.person.Height));
    txtMokuTai_->setText(fmt::shortest(s_.person.TargetWeight));
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
