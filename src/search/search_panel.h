#pragma once

#include "ui/placeholder_panel.h"

class QListWidget;
struct Session;

// The search screen fraTaijyu. For now it holds the search's copy of the
// situation list, lstAct2, which the situation list keeps in step.
class SearchPanel final : public PlaceholderPanel {
    Q_OBJECT
public:
    SearchPanel(Session &session, QWidget *parent = nullptr);

    QListWidget *lstAct2() const { return lstAct2_; }

private:
    Session &s_;
    QListWidget *lstAct2_ = nullptr;
};
