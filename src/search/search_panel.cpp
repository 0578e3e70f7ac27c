#include "search/search_panel.h"

#include "core/help_texts.h"
#include "core/session.h"

#include <QListWidget>
#include <QVBoxLayout>

SearchPanel::SearchPanel(Session &session, QWidget *parent)
    : PlaceholderPanel(QStringLiteral("fraTaijyu"), QStringLiteral("範囲指定"), helptext::cmdTaijyu(),
                       parent),
      s_(session)
{
    lstAct2_ = new QListWidget(this);
    lstAct2_->setObjectName(QStringLiteral("lstAct2"));
    lstAct2_->setMaximumSize(260, 180);
    controlsLayout()->addWidget(lstAct2_, 0, Qt::AlignHCenter);
}
