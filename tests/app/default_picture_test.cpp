// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/default_picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tesselink {
namespace {

TEST(DefaultPicture, TheFirstFolderHoldingThePictureFileWinsAsACleanAbsolutePath) {
    QTemporaryDir dir;
    const QDir root(dir.path());
    // A folder of that name is no picture.
    ASSERT_TRUE(root.mkpath("exe/tesselink.jpg"));
    for (const char* folder : {"data", "data2"}) {
        ASSERT_TRUE(root.mkpath(folder));
        QFile picture(root.filePath(QString(folder) + "/tesselink.jpg"));
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(FindDefaultPicture({root.filePath("exe"), root.filePath("exe/../data"), root.filePath("data2")}),
              QDir::cleanPath(root.filePath("data/tesselink.jpg")));
    EXPECT_TRUE(FindDefaultPicture({root.filePath("exe"), root.filePath("nowhere")}).isEmpty());
    EXPECT_TRUE(FindDefaultPicture({}).isEmpty());
}

}  // namespace
}  // namespace tesselink
