#include "ui/placeholder_panel.h"

#include "ui/art/art_paths.h"
#include "ui/art/picture.h"

#include <QLabel>
#include <QVBoxLayout>

PlaceholderPanel::PlaceholderPanel(const QString &frameName, const QString &screenTitle,
                                   const QString &helpText, QWidget *parent)
    : Screen(parent), helpText_(helpText)
{
    setObjectName(frameName);
    auto *mark = new Picture(QString::fromLatin1(art::kLadybird), this);
    mark->setFixedSize(96, 96);
    auto *title = new QLabel(screenTitle, this);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto *note = new QLabel(QStringLiteral("この画面は準備中です。\n"
                                           "体重の記録は上の「入力」ボタンの画面でできます。"),
                            this);
    note->setAlignment(Qt::AlignCenter);
    controls_ = new QVBoxLayout;
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(mark, 0, Qt::AlignHCenter);
    layout->addWidget(title);
    layout->addSpacing(8);
    layout->addLayout(controls_);
    layout->addWidget(note);
    layout->addStretch(2);
}
