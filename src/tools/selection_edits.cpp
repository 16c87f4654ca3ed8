// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/selection_edits.h"

#include <algorithm>

#include "layout/duplicate.h"

namespace tesselink {

QString WindowsStepText(const char* verb, std::size_t count) {
    return QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(verb)).arg(count).arg(count == 1 ? "window" : "windows");
}

WindowEditResult MoveSelectionFrom(CTesselinkDoc& doc, const PlaybackWindows& start, MapSide side, MoveDelta delta,
                                   EditGesture gesture) {
    const std::vector<int>& selection = doc.Selection();
    Map map{doc.GetHead(), start};
    PlaybackWindows moved = start;
    for (const auto& [index, window] : MoveWindows(map, selection, side, delta))
        moved[static_cast<std::size_t>(index)] = window;
    return doc.ChangeWindows(std::move(moved), selection, WindowsStepText("Move", selection.size()), gesture);
}

WindowEditResult MoveSelection(CTesselinkDoc& doc, MapSide side, MoveDelta delta, EditGesture gesture) {
    return MoveSelectionFrom(doc, doc.GetPlaybackWindows(), side, delta, gesture);
}

bool DeleteSelection(CTesselinkDoc& doc) {
    std::vector<int> doomed = doc.Selection();
    if (doomed.empty()) return false;
    if (doomed.size() == 1) return doc.RemoveWindow(doomed.front());
    std::sort(doomed.begin(), doomed.end());
    PlaybackWindows kept;
    const PlaybackWindows& windows = doc.GetPlaybackWindows();
    for (int i = 0; i < static_cast<int>(windows.size()); ++i)
        if (!std::binary_search(doomed.begin(), doomed.end(), i)) kept.push_back(windows[static_cast<std::size_t>(i)]);
    doc.ChangeWindows(std::move(kept), {}, WindowsStepText("Delete", doomed.size()));
    return true;
}

WindowEditResult SetSelectionMode(CTesselinkDoc& doc, int mode) {
    const std::vector<int> selection = doc.Selection();
    PlaybackWindows windows = doc.GetPlaybackWindows();
    for (const int i : selection) windows[static_cast<std::size_t>(i)].MapMode = static_cast<std::uint8_t>(mode);
    // The current window last, so it stays the one the fields show.
    std::vector<int> order = selection;
    const int current = doc.SelectedOriginalWindow();
    order.erase(std::remove(order.begin(), order.end(), current), order.end());
    if (current >= 0) order.push_back(current);
    return doc.ChangeWindows(std::move(windows), order, WindowsStepText("Change mode of", selection.size()));
}

bool DuplicateSelection(CTesselinkDoc& doc, std::string& message) {
    const DuplicateResult copies = DuplicateWindows(doc.GetMap(), doc.Selection());
    if (!copies.Accepted) {
        message = copies.Message;
        return false;
    }
    PlaybackWindows windows = doc.GetPlaybackWindows();
    std::vector<int> added;
    for (const PlaybackWindow& w : copies.Copies) {
        added.push_back(static_cast<int>(windows.size()));
        windows.push_back(w);
    }
    const WindowEditResult result =
        doc.ChangeWindows(std::move(windows), added, WindowsStepText("Duplicate", copies.Copies.size()));
    if (!result.Accepted()) message = WindowBoundsMessage(result);
    return result.Accepted();
}

WindowEditResult ApplyArray(CTesselinkDoc& doc, int index, const ArrayPlan& plan) {
    PlaybackWindows windows = doc.GetPlaybackWindows();
    if (plan.FirstChanged && index >= 0 && index < static_cast<int>(windows.size()))
        windows[static_cast<std::size_t>(index)] = plan.First;
    std::vector<int> added{index};
    for (const PlaybackWindow& w : plan.Added) {
        added.push_back(static_cast<int>(windows.size()));
        windows.push_back(w);
    }
    return doc.ChangeWindows(std::move(windows), added, WindowsStepText("Make an array of", added.size()));
}

}  // namespace tesselink
