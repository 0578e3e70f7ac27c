#include "ui/store_error_box.h"

#include "ui/dialogs.h"

void showStoreError(Dialogs &dialogs, QWidget *parent, const QString &what, const StoreError &e,
                    const QString &title)
{
    dialogs.message(parent, what + QStringLiteral("\n\n") + e.message(), title,
                    Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}
