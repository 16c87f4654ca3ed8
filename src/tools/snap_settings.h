// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether moving, resizing and drawing snap to edges, and the grid: shared by the tools, which
// snap, and the views, which draw the grid. Remembered by the frame in the settings.

#include <QObject>

namespace tesselink {

class SnapSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultGridStep = 10;

    explicit SnapSettings(QObject* parent = nullptr) : QObject(parent) {}

    bool Enabled() const { return enabled_; }
    bool GridShown() const { return gridShown_; }
    // In picture pixels, at least 1.
    int GridStep() const { return gridStep_; }
    // The grid step the edges snap to; 0 while the grid is hidden.
    int SnapGridStep() const { return gridShown_ ? gridStep_ : 0; }

    void SetEnabled(bool enabled);
    void SetGridShown(bool shown);
    void SetGridStep(int step);

signals:
    void changed();

private:
    bool enabled_ = true;
    bool gridShown_ = false;
    int gridStep_ = DefaultGridStep;
};

}  // namespace tesselink
