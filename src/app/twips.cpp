#include "app/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace tagwright {

int twipsToPixels(int twips)
{
    constexpr double kTwipsPerInch = 1440.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

} // namespace tagwright
