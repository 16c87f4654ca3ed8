// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Edit and View commands of the layout tools: Select All, Duplicate, Make Array..., a map
// mode for the selected windows, snapping and the grid (remembered in the settings).

#include <QObject>

#include "map/message_boxes.h"

class QAction;
class QMenu;
class QWidget;

namespace tesselink {

class ActionRegistry;
class CTesselinkDoc;
class SnapSettings;

class LayoutCommands : public QObject {
    Q_OBJECT
public:
    LayoutCommands(CTesselinkDoc& doc, SnapSettings& snap, MessageBoxes& boxes, QObject* parent = nullptr);

    // Registers the items of "&Edit" and "&View" and reads the settings; `window` owns the
    // dialogs. Called once.
    void Register(ActionRegistry& registry, QWidget* window);

    void SelectAll();
    void Duplicate();
    void MakeArray();
    void SetModeOfSelection(int mode);
    // Asks for the grid step in picture pixels.
    void ChooseGridStep();

    QAction* DuplicateAction() const { return duplicate_; }
    QAction* MakeArrayAction() const { return makeArray_; }

private:
    void UpdateEnabled();
    void SaveSettings() const;

    CTesselinkDoc& doc_;
    SnapSettings& snap_;
    MessageBoxes& boxes_;
    QWidget* window_ = nullptr;
    QAction* duplicate_ = nullptr;
    QAction* makeArray_ = nullptr;
    QMenu* modes_ = nullptr;
};

}  // namespace tesselink
