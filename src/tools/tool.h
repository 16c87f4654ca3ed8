// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One way of working in the picture views (pick and move, draw a window). A view forwards
// its input to the active tool; the tool decides what it means and edits through the
// document's gate. Refusals are told through the message boxes.

#include <QObject>
#include <QString>

#include "map/message_boxes.h"
#include "tools/snap_settings.h"
#include "tools/tool_surface.h"

namespace tesselink {

class CTesselinkDoc;

// A mouse position in client coordinates, with the keys held.
struct ToolPoint {
    int X = 0;
    int Y = 0;
    Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
};

class Tool : public QObject {
    Q_OBJECT
public:
    // `id` names the tool to the frame: the command of its toolbar button.
    Tool(int id, CTesselinkDoc& doc, MessageBoxes* boxes, QObject* parent = nullptr);

    int Id() const { return id_; }

    // The left button went down, the mouse moved with it held, it came up.
    virtual void Press(ToolSurface& view, const ToolPoint& at) = 0;
    virtual void Move(ToolSurface& view, const ToolPoint& at) = 0;
    virtual void Release(ToolSurface& view, const ToolPoint& at) = 0;
    // A key in the view; true when the tool used it.
    virtual bool Key(ToolSurface& view, int key, Qt::KeyboardModifiers modifiers) = 0;
    // Escape or the right button during a gesture: everything back as it was at the press.
    virtual void Cancel(ToolSurface& view) = 0;
    // The cursor over a client point while no gesture runs.
    virtual Qt::CursorShape HoverCursor(ToolSurface& view, int x, int y) = 0;
    // A press-to-release gesture is under way.
    virtual bool GestureRunning() const = 0;
    // Another tool takes over: whatever this one was in the middle of ends.
    virtual void Deactivate() {}

    // Snapping as the user set it; none: no snapping.
    void SetSnapSettings(const SnapSettings* snap) { snap_ = snap; }

    // The view the tool worked in last: its status texts are that view's.
    const ToolSurface* LastSurface() const { return lastSurface_; }

signals:
    void statusChanged(const QString& text);

protected:
    void Touch(ToolSurface& view) { lastSurface_ = &view; }
    void Status(ToolSurface& view, const QString& text);
    // Shows why the document refused an edit.
    void ReportRefusal(const WindowEditResult& result);

    CTesselinkDoc& doc_;
    MessageBoxes* boxes_;
    const SnapSettings* snap_ = nullptr;

private:
    int id_;
    const ToolSurface* lastSurface_ = nullptr;
};

}  // namespace tesselink
