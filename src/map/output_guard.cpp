// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/output_guard.h"

#include <sys/stat.h>

#include <cctype>

namespace tesselink {
namespace {

std::string LowerExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

std::string OutputIsInputProblem(const std::string& output, const std::vector<NamedInput>& inputs) {
    struct stat out {};
    if (output.empty() || ::stat(output.c_str(), &out) != 0) return std::string();
    for (const NamedInput& input : inputs) {
        struct stat in {};
        if (input.Path.empty() || ::stat(input.Path.c_str(), &in) != 0) continue;
        if (in.st_dev == out.st_dev && in.st_ino == out.st_ino) return "it is the " + input.What + " " + input.Path;
    }
    return std::string();
}

const char* PictureOutputFormat(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == "png") return "png";
    if (ext == "bmp") return "bmp";
    if (ext == "jpg" || ext == "jpeg") return "jpg";
    return nullptr;
}

std::string PictureOutputNameProblem(const std::string& path) {
    if (PictureOutputFormat(path)) return std::string();
    const std::string ext = LowerExtension(path);
    return (ext.empty() ? std::string("the name has no extension") : "a ." + ext + " file is not a picture") +
           "; a picture output ends in .png, .bmp or .jpg";
}

}  // namespace tesselink
