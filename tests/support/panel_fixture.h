// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor panel on its own over a document whose picture path is set, shown and active, its
// boxes and file dialogs answered from a script: what the panel tests start from.

#include <string>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "document/tesselink_doc.h"
#include "stage/backdrop.h"
#include "editor/map_head_file_view.h"
#include "support/recording_message_boxes.h"
#include "support/scripted_file_dialogs.h"

namespace tesselink::testing {

struct PanelFixtureBase : ::testing::Test {
    QTemporaryDir dir;
    CTesselinkDoc doc;
    Backdrop backdrop{doc};
    RecordingMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    CMapHeadFileView panel{doc, backdrop};
    HeadForm& head = panel.Head();
    WindowForm& windows = panel.Windows();

    PanelFixtureBase() {
        panel.SetMessageBoxes(&boxes);
        panel.SetFileDialogs(&dialogs);
        backdrop.SetBackgroundPicturePath(dir.filePath("card.png").toStdString());
        panel.show();
        QApplication::setActiveWindow(&panel);
    }

    // The texts of the boxes shown so far, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const UserMessage& m : boxes.Shown) texts.push_back(m.Text);
        return texts;
    }
};

}  // namespace tesselink::testing
