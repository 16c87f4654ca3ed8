// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tool.h"

#include "document/tesselink_doc.h"

namespace tesselink {

Tool::Tool(int id, CTesselinkDoc& doc, MessageBoxes* boxes, QObject* parent)
    : QObject(parent), doc_(doc), boxes_(boxes), id_(id) {}

void Tool::Status(ToolSurface& view, const QString& text) {
    Touch(view);
    view.ShowStatus(text);
    emit statusChanged(text);
}

void Tool::ReportRefusal(const WindowEditResult& result) {
    const std::string text = WindowBoundsMessage(result);
    if (!text.empty() && boxes_ != nullptr) boxes_->Show(ApplicationMessage(text));
}

}  // namespace tesselink
