#pragma once

#include <QString>

// What the help tour says when the window opens, exactly as the tour shows
// it (CR LF between lines). It greets the user before any screen is
// chosen, so it belongs to the window rather than to a screen.
namespace helptext {

QString startup();

} // namespace helptext
