#include "notes/notes_panel.h"

#include "core/help_texts.h"
#include "core/session.h"

NotesPanel::NotesPanel(Session &session, QWidget *parent)
    : PlaceholderPanel(QStringLiteral("fraMemo"), QStringLiteral("一言日記"), helptext::cmdMemo(),
                       parent),
      s_(session)
{
}

void NotesPanel::rebuild() {}

void NotesPanel::personChanged(bool visible)
{
    if (visible)
        rebuild();
}

MaybeError NotesPanel::LoadAwarenessMemo() { return std::nullopt; }
