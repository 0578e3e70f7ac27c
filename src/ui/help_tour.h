#pragma once

class QWidget;
struct Session;

// DSP_HELP: shows the help text of the session when the tour is on
// (information icon, OK only, title "ヘルプツアー").
void showHelpTour(Session &session, QWidget *parent);
