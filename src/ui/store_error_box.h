#pragma once

#include "store/store_error.h"

#include <QString>

class Dialogs;
class QWidget;

// A file that could not be read or written, told the user the same way on
// every screen: what could not be done, a blank line, the file and the
// reason; critical icon, OK only.
void showStoreError(Dialogs &dialogs, QWidget *parent, const QString &what, const StoreError &e,
                    const QString &title = QStringLiteral("保存エラー"));
