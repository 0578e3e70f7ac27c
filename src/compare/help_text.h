#pragma once

#include <QString>

// What the help tour says on the comparison screen, exactly as the tour
// shows it (CR LF between lines): for the screen, and for each of the two
// ways its chart can be drawn when the user picks one.
namespace compare::helptext {

QString cmdAvgtai(); // the screen
QString optGra1();   // both persons against one axis
QString optGra2();   // each person against an axis of their own

} // namespace compare::helptext
