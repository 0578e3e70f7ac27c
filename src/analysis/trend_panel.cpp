#include "analysis/trend_panel.h"

#include "core/help_texts.h"
#include "core/number_input.h"
#include "core/session.h"
#include "store/first_start.h"
#include "store/format.h"
#include "store/record_line.h"
#include "store/settings_files.h"
#include "ui/store_error_box.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TrendPanel::TrendPanel(Session &session, QWidget *parent)
    : PlaceholderPanel(QStringLiteral("fraRenTai"), QStringLiteral("全グラフ"), helptext::cmdRentai(),
                       parent),
      s_(session)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(new QLabel(QStringLiteral("移動平均"), this));
    cboIdou_ = new QComboBox(this);
    cboIdou_->setObjectName(QStringLiteral("cboIdou"));
    cboIdou_->setEditable(true);
    cboIdou_->setInsertPolicy(QComboBox::NoInsert);
    cboIdou_->setToolTip(QStringLiteral("何回分を平均するかを選びます"));
    cboIdou_->setMinimumWidth(72);
    // The combo box holds the focus and hands keys to its line edit itself,
    // so Enter is caught on the combo box, where real key presses arrive.
    cboIdou_->installEventFilter(this);
    connect(cboIdou_, &QComboBox::activated, this, [this] { cboIdou_Click(); });
    row->addWidget(cboIdou_);
    row->addWidget(new QLabel(QStringLiteral("回"), this));
    row->addStretch(1);
    controlsLayout()->addLayout(row);
}

MaybeError TrendPanel::LoadMovingAverageSetting()
{
    cboIdou_->clear();
    for (int i = 1; i <= 30; ++i)
        cboIdou_->addItem(QString::number(i));
    QString text;
    if (MaybeError e = store::readMovingAverageText(s_.dir, &text))
        return e;
    // A window below 1 cannot be drawn: start with the usual 10 and leave
    // the file alone until the user chooses.
    if (fmt::leadingNumber(text) < 1)
        text = store::defaults().movingAverage;
    cboIdou_->setEditText(text);
    return std::nullopt;
}

void TrendPanel::cboIdou_Click()
{
    const QString text = asciiNumberText(cboIdou_->currentText());
    if (text.isEmpty())
        return;
    if (text != cboIdou_->currentText())
        cboIdou_->setEditText(text);
    if (fmt::leadingNumber(text) < 1 || !store::unstorableReason(text).isEmpty()) {
        cboIdou_->clearEditText();
        return;
    }
    if (MaybeError e = store::writeMovingAverageText(s_.dir, text))
        showStoreError(s_.dialogs, this, QStringLiteral("移動平均の設定を保存できませんでした。"), *e);
    QCoreApplication::processEvents();
}

bool TrendPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboIdou_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboIdou_Click();
            return true;
        }
    }
    return PlaceholderPanel::eventFilter(watched, event);
}
