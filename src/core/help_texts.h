#pragma once

#include <QString>

// The explanation each screen gives while the help tour is on, exactly as
// the tour shows it (CR LF between lines).
namespace helptext {

QString startup();
QString cmdAvgtai();
QString cmdMain();
QString cmdBunseki();
QString cmdRentai();
QString cmdCale();
QString cmdTaijyu();
QString cmdMemo();
QString cmdSettei();
QString optGra1();
QString optGra2();

} // namespace helptext
