#pragma once

#include "store/store_error.h"
#include "ui/placeholder_panel.h"

struct Session;

// The notes screen fraMemo: the one-line diary of every record and the
// awareness memo shared by both persons.
class NotesPanel final : public PlaceholderPanel {
    Q_OBJECT
public:
    NotesPanel(Session &session, QWidget *parent = nullptr);

    void rebuild() override;
    void personChanged(bool visible) override;

    // LoadAwarenessMemo, once at start-up.
    MaybeError LoadAwarenessMemo();

private:
    Session &s_;
};
