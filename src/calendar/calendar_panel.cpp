#include "calendar/calendar_panel.h"

#include "core/help_texts.h"
#include "core/session.h"

CalendarPanel::CalendarPanel(Session &session, QWidget *parent)
    : PlaceholderPanel(QStringLiteral("fraCale"), QStringLiteral("体重増減カレンダー"),
                       helptext::cmdCale(), parent),
      s_(session)
{
}

void CalendarPanel::rebuild() {}

void CalendarPanel::personChanged(bool visible)
{
    if (visible)
        rebuild();
}
