#pragma once

class QWidget;

// Sizes in the layout tables are in twips: 1440 to the inch, so 15 twips
// make one pixel at 96 dpi. The widget's screen decides the real scale;
// without a widget the primary screen does.
int twipsToPixels(int twips, const QWidget *w = nullptr);
int pixelsToTwips(int pixels, const QWidget *w = nullptr);
