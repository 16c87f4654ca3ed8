// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The zoom factor of one picture view: 0.5 to 8.0 in steps of 0.5, announced when it changes.

#include <QObject>

namespace tesselink {

class ViewZoom : public QObject {
    Q_OBJECT
public:
    static constexpr float Min = 0.5f;
    static constexpr float Max = 8.0f;
    static constexpr float Step = 0.5f;

    explicit ViewZoom(QObject* parent = nullptr) : QObject(parent) {}

    float Factor() const { return factor_; }
    // One step in (+1) or out (-1); false, and nothing announced, at a limit.
    bool StepBy(int direction);
    // Clamped into range and rounded to a step.
    void SetFactor(float factor);

signals:
    void changed(float factor);

private:
    float factor_ = 1.0f;
};

}  // namespace tesselink
