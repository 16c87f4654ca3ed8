#pragma once
#include <QStringList>

namespace tesselink {
// `tesselink --render MAP --picture PICTURE --output OUT.png [--cover none|same|different]`:
// builds the target picture without a display. Returns the process exit code.
int RunRenderCommand(const QStringList& arguments);
}  // namespace tesselink
