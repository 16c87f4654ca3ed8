// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zoom factor of one picture view, announced when it changes. The File commands step it by
// halves between 0.5 and 8.0; Zoom In / Zoom Out and the wheel step through a ladder that goes
// on below 0.5 by halving; a fit zoom may be any factor in range.

#include <QObject>

namespace tesselink {

class ViewZoom : public QObject {
    Q_OBJECT
public:
    static constexpr float Min = 0.5f;  // the lowest factor of the half steps
    static constexpr float Max = 8.0f;
    static constexpr float Step = 0.5f;
    static constexpr float FineMin = 1.0f / 64;  // the lowest factor of all

    explicit ViewZoom(QObject* parent = nullptr) : QObject(parent) {}

    float Factor() const { return factor_; }
    // One half step in (+1) or out (-1), to the next multiple of a half from a factor between
    // two; false, and nothing announced, at a limit (out at 0.5 or below, in at 8.0).
    bool StepBy(int direction);
    // To the next factor of the ladder (1/64 ... 1/4 by doubling, then 0.5, 1.0, ... 8.0 by
    // halves) in (+1) or out (-1); false, and nothing announced, at either end.
    bool StepFine(int direction);
    // Clamped into FineMin to Max.
    void SetFactor(float factor);

signals:
    void changed(float factor);

private:
    float factor_ = 1.0f;
};

}  // namespace tesselink
