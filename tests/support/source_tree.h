// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The source tree, for tests that read its files (the default picture, example maps, test data).
// The build passes its path to every test program, so they also run outside CTest.

#include <string>

#include <QString>

namespace tesselink::testing {

inline QString SourceDir() { return QStringLiteral(TESSELINK_SOURCE_DIR); }
inline QString SourcePath(const QString& relative) { return SourceDir() + "/" + relative; }
inline std::string SourceStdPath(const std::string& relative) { return TESSELINK_SOURCE_DIR "/" + relative; }

}  // namespace tesselink::testing
