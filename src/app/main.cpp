// Entry point: the headless renderer, --help and --version, or the editor.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

#include "app/editor_main.h"
#include "render/render_command.h"

namespace {

const char* const Usage =
    "Usage:\n"
    "  tesselink [MAP]\n"
    "      Opens the editor, with the map file MAP if given.\n"
    "  tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]\n"
    "      Writes the target picture that MAP makes from PICTURE, without a display.\n"
    "  tesselink --render MAP --video IN --output OUT.mp4|.mov|.mkv [--cover none|same|different]\n"
    "            [--codec h264|ffv1|png] [--crf N] [--start SECONDS] [--duration SECONDS]\n"
    "      Writes every frame of the video IN carried through MAP as a video.\n"
    "  tesselink --help | --version\n";

bool HasArgument(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (HasArgument(argc, argv, "--help") || HasArgument(argc, argv, "-h")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (HasArgument(argc, argv, "--version")) {
        std::printf("Tesselink %s\n", TESSELINK_VERSION);
        return 0;
    }
    if (HasArgument(argc, argv, "--render")) {
        QCoreApplication app(argc, argv);
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        return tesselink::RunRenderCommand(arguments);
    }
    return tesselink::RunEditor(argc, argv);
}
