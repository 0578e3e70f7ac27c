#include "app/toolbar.h"

#include "ui/art/art_paths.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QToolButton>

Toolbar::Toolbar(QWidget *parent) : QWidget(parent), layout_(new QHBoxLayout(this))
{
    layout_->setContentsMargins(6, 4, 6, 2);
    layout_->setSpacing(2);
    layout_->addStretch(1);
    chkHelp_ = new QCheckBox(QStringLiteral("ヘルプツアー"), this);
    chkHelp_->setObjectName(QStringLiteral("chkHelp"));
    chkHelp_->setToolTip(QStringLiteral("ヘルプツアーのＯｎ／Ｏｆｆです"));
    art::bindToggleIcon(chkHelp_, QString::fromLatin1(art::kHelpOn), QString::fromLatin1(art::kHelpOff));
    chkHelp_->setIconSize(QSize(28, 28));
    layout_->addWidget(chkHelp_);
}

QToolButton *Toolbar::makeButton(const char *name, const char *caption, const char *tip,
                                 const char *icon)
{
    auto *b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromUtf8(caption));
    b->setToolTip(QString::fromUtf8(tip));
    b->setIcon(art::icon(QString::fromLatin1(icon)));
    b->setIconSize(QSize(30, 30));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    // Narrow enough for every button and the help switch in one row at
    // the window's smallest width.
    b->setMinimumWidth(54);
    // Tab reaches the toolbar; a click does not take the focus from the
    // screen's own controls.
    b->setFocusPolicy(Qt::TabFocus);
    // Before the stretch that keeps chkHelp at the right.
    layout_->insertWidget(layout_->count() - 2, b);
    return b;
}

QToolButton *Toolbar::addScreenButton(const char *name, const char *caption, const char *tip,
                                      const char *icon)
{
    QToolButton *b = makeButton(name, caption, tip, icon);
    b->setCheckable(true);
    // Ctrl+1, Ctrl+2, ... in toolbar order.
    if (++screenButtons_ <= 9)
        addShortcut(b, QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + screenButtons_)));
    return b;
}

// A shortcut of the window that clicks the button, shown in its tooltip.
// A disabled button (during the registration) ignores it.
void Toolbar::addShortcut(QToolButton *b, const QKeySequence &keys)
{
    auto *shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, b, [b] {
        if (b->isEnabled())
            b->click();
    });
    b->setToolTip(QStringLiteral("%1（%2）").arg(b->toolTip(), keys.toString(QKeySequence::NativeText)));
}

void Toolbar::addActionButtons()
{
    auto *sep = new QFrame(this);
    sep->setFrameShape(QFrame::VLine);
    sep->setFrameShadow(QFrame::Sunken);
    layout_->insertSpacing(layout_->count() - 2, 6);
    layout_->insertWidget(layout_->count() - 2, sep);
    layout_->insertSpacing(layout_->count() - 2, 6);
    addShortcut(makeButton("cmdPrint", "画面印刷", "画面イメージのまま印刷します", art::kToolPrintScreen),
                QKeySequence(Qt::CTRL | Qt::Key_P));
    makeButton("cmdPrint1", "用紙印刷", "体重記録用紙を印刷します", art::kToolPrintSheet);
    addShortcut(makeButton("cmdHelp", "ヘルプ", "ヘルプファイルを開きます", art::kToolHelp),
                QKeySequence(Qt::Key_F1));
    addShortcut(makeButton("cmdOwari", "終了", "プログラムを終了します", art::kToolExit),
                QKeySequence(Qt::CTRL | Qt::Key_Q));
}

QToolButton *Toolbar::button(const char *name) const
{
    return findChild<QToolButton *>(QString::fromLatin1(name));
}
