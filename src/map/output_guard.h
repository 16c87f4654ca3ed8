// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks an output name passes before a command does any work: it is none of the command's
// inputs, and a picture output is named as a picture.

#include <string>
#include <vector>

namespace tesselink {

// An input of a command, as messages name it: {"map", "wall.map"}.
struct NamedInput {
    std::string What;
    std::string Path;
};

// "it is the map wall.map" when `output` names the same file as one of `inputs` (the same
// device and inode, so hard links, symbolic links and other spellings of the path count);
// empty otherwise, and for inputs that do not exist.
std::string OutputIsInputProblem(const std::string& output, const std::vector<NamedInput>& inputs);

// The picture format an output name asks for by its extension, in any letter case: "png",
// "bmp" or "jpg" (.jpg and .jpeg); nullptr for any other name.
const char* PictureOutputFormat(const std::string& path);

// Why `path` cannot be a picture output by its name; empty when it can.
std::string PictureOutputNameProblem(const std::string& path);

}  // namespace tesselink
