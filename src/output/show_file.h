// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A show: one source and a list of outputs, each a map with its screen or desktop position. The
// file is JSON: {"source": S, "outputs": [O, ...]} with S one of {"picture": PATH},
// {"video": PATH, "loop": true|false}, {"lineup": true}, {"live": SOURCE}, and O
// {"map": PATH, "screen": NAME|NUMBER} or {"map": PATH, "at": [X, Y]}, each output optionally
// with "name" and "cover" ("none", "same", "different"). Paths are relative to the show's folder
// or absolute.

#include <optional>
#include <string>
#include <vector>

#include <QPoint>
#include <QString>

#include "map/map_model.h"
#include "remap/cover.h"

namespace tesselink {

struct ShowSource {
    enum class Kind { Picture, Video, Lineup, Live };
    Kind What = Kind::Picture;
    std::string Path;  // the picture or video file (resolved), or the live source's address
    bool Loop = false;
};

struct ShowOutput {
    std::string MapPath;  // resolved
    QString Screen;       // a name or a number; empty with At
    std::optional<QPoint> At;
    std::string Name;  // for messages and statistics; "1", "2", ... when not given
    std::optional<CoverMode> Cover;
    Map LoadedMap;
};

struct Show {
    ShowSource Source;
    std::vector<ShowOutput> Outputs;
};

// Reads the show at `path`: its shape, then every map (as --render reads them; all of one
// original size). Empty on success, else the first reason with its place in the file
// ("wall.show: outputs[1].map: ...").
std::string ReadShowFile(const std::string& path, Show& show);

// A show file is told by its extension.
bool IsShowPath(const std::string& path);

}  // namespace tesselink
