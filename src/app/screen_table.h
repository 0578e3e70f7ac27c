#pragma once

#include <QList>
#include <functional>

class QWidget;
class Screen;
class ScreenLinks;
struct Session;
namespace entry {
class DayState;
}

// What a row's build gets: the state the screens share, where they lie,
// and the screens of other rows that have been built (by button name).
struct ScreenKit {
    Session &s;
    entry::DayState &day;
    ScreenLinks &links;
    QWidget *area;
    std::function<Screen *(const char *button)> built;
};

// One screen of the main window, in toolbar order. The window builds a row
// when it is first opened, or with itself when `builtAtStart`; everything
// it knows of a screen is here.
struct ScreenRow {
    const char *button;
    const char *caption;
    const char *tip;
    const char *icon;
    bool builtAtStart = false; // the start works with it
    bool opensAtStart = false; // the window opens on it
    bool registers = false;    // it shows the registration of the persons
    bool showsDays = false;    // a day opened elsewhere is shown here
    std::function<Screen *(ScreenKit &kit)> build;
};

const QList<ScreenRow> &screenTable();
