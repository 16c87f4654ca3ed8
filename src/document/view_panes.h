#pragma once
// What the document still asks of a pane directly, by role. Everything else the panes learn
// from the document's change notifications. The document never sees a widget.

namespace tesselink {

// The editor panel on the left.
class HeadFileViewPane {
public:
    virtual ~HeadFileViewPane() = default;
};

// The Original view (upper right): the drawing modes of the toolbar.
class OriginalViewPane {
public:
    virtual ~OriginalViewPane() = default;
    virtual void SetAddWindowArmed(int flag) = 0;
    virtual void SetPendingMapMode(int mode) = 0;
};

// The Target view (lower right).
class TargetViewPane {
public:
    virtual ~TargetViewPane() = default;
};

}  // namespace tesselink
