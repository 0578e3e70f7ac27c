#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtMath>

namespace {

constexpr double kTwipsPerInch = 1440.0;

double logicalDpi(const QWidget *w)
{
    if (w)
        return w->logicalDpiX();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchX();
    return 96.0;
}

} // namespace

int twipsToPixels(int twips, const QWidget *w)
{
    return qRound(twips * logicalDpi(w) / kTwipsPerInch);
}

int pixelsToTwips(int pixels, const QWidget *w)
{
    const double dpi = logicalDpi(w);
    return dpi > 0 ? qRound(pixels * kTwipsPerInch / dpi) : pixels * 15;
}
