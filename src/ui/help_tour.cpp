#include "ui/help_tour.h"

#include "core/session.h"
#include "ui/dialogs.h"

void showHelpTour(Session &session, QWidget *parent)
{
    if (session.help.HelpFlag != 0)
        session.dialogs.message(parent, session.help.HelpText, QStringLiteral("ヘルプツアー"),
                                Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}
