// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// View > Output: the target picture full screen on a chosen screen, following the editor live
// (every edit, the lineup, the cover, the picture, the video preview's frame). The choice of
// screen and position is remembered. With a show open, "Show's Outputs" instead opens every
// output of the show at its place (see ShowOutputs).

#include <memory>
#include <optional>

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

#include "output/show_file.h"
#include "stage/target_composer.h"

class QAction;
class QActionGroup;
class QMenu;
class QScreen;
class QTimer;
class QWidget;

namespace tesselink {

class ActionRegistry;
class Backdrop;
class CTesselinkDoc;
class MessageBoxes;
class OutputWindow;
class ShowOutputs;

class OutputCommands : public QObject {
    Q_OBJECT
public:
    OutputCommands(CTesselinkDoc& doc, const Backdrop& backdrop, MessageBoxes& boxes, QWidget* parent);
    ~OutputCommands() override;

    // View > Output in the registry; the submenu's items (a checkable one per screen, "Off",
    // "Position...") are this class's own, made again when the screens change.
    void Register(ActionRegistry& registry);
    QMenu* Menu() const { return menu_; }
    // Turns the output on over the screen (its index among the application's screens), or off
    // (the show's outputs too).
    void TurnOn(int screen);
    void TurnOff();
    // The show whose outputs "Show's Outputs" opens; nullptr: none (the item is disabled, and the
    // show's outputs close). Open outputs move to a new show.
    void SetShow(const Show* show);
    // Every output of the show instead of the single one; false without a show.
    bool TurnOnShow();
    bool ShowIsOn() const;
    ShowOutputs& ShowWindows() { return *showOutputs_; }
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
    const Backdrop& backdrop_;
    MessageBoxes& boxes_;
    QWidget* parent_;
    QMenu* menu_ = nullptr;
    QActionGroup* group_ = nullptr;
    QAction* off_ = nullptr;
    QAction* positionAction_ = nullptr;
    QAction* showItem_ = nullptr;
    std::unique_ptr<OutputWindow> window_;
    QScreen* screen_ = nullptr;
    QString screenName_;
    QPoint position_;
    TargetComposer composer_;
    QTimer* compose_ = nullptr;
    std::optional<Show> show_;
    ShowOutputs* showOutputs_ = nullptr;
};

}  // namespace tesselink
