// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/screen_choice.h"

#include <QGuiApplication>
#include <QScreen>

namespace tesselink {

QString DescribeScreens(const std::vector<ScreenDescription>& screens) {
    if (screens.empty()) return QStringLiteral("there is no screen");
    QStringList parts;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const QRect& g = screens[i].Geometry;
        parts << QStringLiteral("%1: %2 %3 x %4 at %5,%6")
                     .arg(i + 1)
                     .arg(screens[i].Name)
                     .arg(g.width())
                     .arg(g.height())
                     .arg(g.x())
                     .arg(g.y());
    }
    return parts.join(QStringLiteral("; "));
}

QString ScreenMenuText(const ScreenDescription& screen) {
    return QStringLiteral("%1 (%2 x %3)").arg(screen.Name).arg(screen.Geometry.width()).arg(screen.Geometry.height());
}

QRect OutputGeometry(const QRect& screen, const QPoint& offset) {
    const QPoint corner = screen.topLeft() + offset;
    if (!screen.contains(corner)) return screen;
    return QRect(corner, screen.bottomRight());
}

std::optional<OutputPlace> PlaceOutput(const std::vector<ScreenDescription>& screens, const QString& screen,
                                       const std::optional<QPoint>& at, QString* why) {
    auto refuse = [&](const QString& text) -> std::optional<OutputPlace> {
        if (why) *why = text + " (the screens: " + DescribeScreens(screens) + ")";
        return std::nullopt;
    };
    if (screens.empty()) return refuse(QStringLiteral("there is no screen to show on"));
    int chosen = 0;
    if (at) {
        chosen = -1;
        for (std::size_t i = 0; i < screens.size() && chosen < 0; ++i)
            if (screens[i].Geometry.contains(*at)) chosen = static_cast<int>(i);
        if (chosen < 0) return refuse(QStringLiteral("--at %1,%2 is on no screen").arg(at->x()).arg(at->y()));
    } else if (!screen.isEmpty()) {
        chosen = -1;
        for (std::size_t i = 0; i < screens.size() && chosen < 0; ++i)
            if (screens[i].Name == screen) chosen = static_cast<int>(i);
        bool number = false;
        const int n = screen.toInt(&number);
        if (chosen < 0 && number && n >= 1 && n <= static_cast<int>(screens.size())) chosen = n - 1;
        if (chosen < 0) return refuse(QStringLiteral("there is no screen %1").arg(screen));
    }
    OutputPlace place;
    place.Screen = chosen;
    place.Geometry = screens[static_cast<std::size_t>(chosen)].Geometry;
    if (at) place.Geometry = OutputGeometry(place.Geometry, *at - place.Geometry.topLeft());
    return place;
}

std::vector<ScreenDescription> CurrentScreens() {
    std::vector<ScreenDescription> out;
    for (QScreen* s : QGuiApplication::screens()) out.push_back({s->name(), s->geometry()});
    return out;
}

}  // namespace tesselink
