#include "analysis/analysis_panel.h"

#include "analysis/trend_panel.h"
#include "core/help_texts.h"
#include "core/session.h"

AnalysisPanel::AnalysisPanel(Session &session, TrendPanel *trend, QWidget *parent)
    : PlaceholderPanel(QStringLiteral("fraBunseki"), QStringLiteral("分析リスト"),
                       helptext::cmdBunseki(), parent),
      s_(session), trend_(trend)
{
}

void AnalysisPanel::rebuild() {}

void AnalysisPanel::personChanged(bool visible)
{
    if (visible)
        rebuild();
}
