#pragma once

#include "app/main_window.h"

#include <optional>

// The start-up sequence of the main window, in its order and with its
// texts: the clean-up after a crash, the day's backup, the registration of
// persons without files, the files checked and read once, the splash kept
// for its shortest time, profiles, lists, settings, the older-data
// conversion, the first day view, and the window opened on its start
// screen.
class Startup {
public:
    Startup(MainWindow &window, MainWindow::Options options);

    // False when the program has to end; the reason has been shown.
    bool run();
    qint64 splashShownMs() const { return splashShownMs_; }

private:
    // Persons without any file (first and last to register), if any.
    std::optional<QPair<PersonSlot, PersonSlot>> personsToRegister() const;
    bool startRegistration(PersonSlot first, PersonSlot last);
    bool loadStartFiles();
    bool loadProfiles();
    bool ConvertLegacyData();
    // A settings file that cannot be read is damage: name it and end.
    bool failSettings(const StoreError &e);
    void fail(const QString &text);
    QWidget *startParent() const;

    MainWindow &w_;
    Session &s_;
    const DataDir &dir_;
    MainWindow::Options options_;
    qint64 splashShownMs_ = 0;
};
