// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// View > Output: the target picture full screen on a chosen screen, following the editor live
// (every edit, the lineup, the cover, the picture, the video preview's frame). The choice of
// screen and position is remembered.

#include <memory>

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

#include "stage/target_composer.h"

class QAction;
class QActionGroup;
class QMenu;
class QScreen;
class QTimer;
class QWidget;

namespace tesselink {

class CTesselinkDoc;
class MessageBoxes;
class OutputWindow;

class OutputCommands : public QObject {
    Q_OBJECT
public:
    OutputCommands(CTesselinkDoc& doc, MessageBoxes& boxes, QWidget* parent);
    ~OutputCommands() override;

    // The submenu, with a checkable item per screen, "Off" and "Position...".
    QMenu* Menu() const { return menu_; }
    // Turns the output on over the screen (its index among the application's screens), or off.
    void TurnOn(int screen);
    void TurnOff();
    // The editor ends: the window goes, the choice stays remembered.
    void Close();
    bool IsOn() const { return window_ != nullptr; }
    // The window while the output is on.
    OutputWindow* Window() const { return window_.get(); }
    QPoint Position() const { return position_; }
    void SetPosition(const QPoint& position);
    // At start: the remembered screen again, when there is more than one screen (on a single
    // screen the output would hide the editor).
    void Restore();

signals:
    void statusMessage(const QString& text);

private:
    void RebuildMenu();
    void UpdateChecks();
    void ScheduleCompose();
    void Compose();
    void AskPosition();
    void OnScreenRemoved(QScreen* screen);
    void Remember() const;

    CTesselinkDoc& doc_;
    MessageBoxes& boxes_;
    QWidget* parent_;
    QMenu* menu_ = nullptr;
    QActionGroup* group_ = nullptr;
    QAction* off_ = nullptr;
    QAction* positionAction_ = nullptr;
    std::unique_ptr<OutputWindow> window_;
    QScreen* screen_ = nullptr;
    QString screenName_;
    QPoint position_;
    TargetComposer composer_;
    QTimer* compose_ = nullptr;
};

}  // namespace tesselink
