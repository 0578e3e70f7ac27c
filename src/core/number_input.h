#pragma once

#include <QString>

// A number typed into a box, as the program reads and stores it. With a
// Japanese input method on, digits, the point and the minus arrive in
// their full-width forms (６５．３); they count as the ASCII ones, and the
// ASCII form is what gets stored.
QString asciiNumberText(const QString &typed);
