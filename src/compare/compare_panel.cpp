#include "compare/compare_panel.h"

#include "core/help_texts.h"
#include "core/session.h"

ComparePanel::ComparePanel(Session &session, QWidget *parent)
    : PlaceholderPanel(QStringLiteral("fraAvgTai"), QStringLiteral("二人の比較"), helptext::cmdAvgtai(),
                       parent),
      s_(session)
{
}

void ComparePanel::rebuild() {}
