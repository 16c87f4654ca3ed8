// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which screen an output covers and where the target's top-left corner lies on it, from a screen
// name or number or a desktop position. Works on plain descriptions of the screens, so the rule is
// tested without any.

#include <optional>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QString>

namespace tesselink {

struct ScreenDescription {
    QString Name;
    QRect Geometry;  // in desktop coordinates
};

struct OutputPlace {
    int Screen = 0;  // index into the screens
    QRect Geometry;  // the window, from the target's top-left corner to the screen's bottom-right
};

// The window of an output whose target's top-left corner is `offset` from the screen's: the rest
// of the screen from there, so what lies left of and above it (an editor) stays in view. The
// whole screen when the corner is off it.
QRect OutputGeometry(const QRect& screen, const QPoint& offset);

// "1: HDMI-1 1920 x 1080 at 0,0; 2: ..." for messages.
QString DescribeScreens(const std::vector<ScreenDescription>& screens);
// "HDMI-1 (1920 x 1080)" for menus.
QString ScreenMenuText(const ScreenDescription& screen);

// The screen named `screen` (its name, or its number counted from 1), or the one holding the
// desktop point `at`, or the first. Nullopt with the reason in `why` when there is no such screen.
std::optional<OutputPlace> PlaceOutput(const std::vector<ScreenDescription>& screens, const QString& screen,
                                       const std::optional<QPoint>& at, QString* why);

// The screens the application has now.
std::vector<ScreenDescription> CurrentScreens();

}  // namespace tesselink
