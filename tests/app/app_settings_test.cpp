#include "app/app_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tesselink {
namespace {

class RecentFiles : public ::testing::Test {
protected:
    QString Touch(const QString& name) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return QFileInfo(path).canonicalFilePath();
    }
    QString IniPath() const { return dir_.filePath("settings.ini"); }

    QTemporaryDir dir_;
};

TEST_F(RecentFiles, KeepsTheFourNewestNewestFirst) {
    RecentFileList list;
    const QString a = Touch("a.map"), b = Touch("b.map"), c = Touch("c.map"), d = Touch("d.map"), e = Touch("e.map");
    for (const QString& path : {a, b, c, d, e}) list.Add(path);
    EXPECT_EQ(list.Files(), (QStringList{e, d, c, b}));
}

TEST_F(RecentFiles, ReopeningAFileMovesItUpInsteadOfListingItTwice) {
    RecentFileList list;
    const QString a = Touch("a.map"), b = Touch("b.map"), c = Touch("c.map");
    list.Add(a);
    list.Add(b);
    list.Add(c);
    // Another spelling of a's path names the same file.
    list.Add(QDir(dir_.path()).filePath("./a.map"));
    EXPECT_EQ(list.Files(), (QStringList{a, c, b}));
    list.Add(QString("   "));
    EXPECT_EQ(list.Files().size(), 3);
}

TEST_F(RecentFiles, SurvivesASaveAndLoadUnderTheStandardKeys) {
    const QString a = Touch("a.map"), b = Touch("b.map");
    {
        QSettings settings(IniPath(), QSettings::IniFormat);
        RecentFileList list;
        list.Add(a);
        list.Add(b);
        list.Save(settings);
    }
    QSettings settings(IniPath(), QSettings::IniFormat);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), b);
    EXPECT_EQ(settings.value("Recent File List/File2").toString(), a);
    EXPECT_FALSE(settings.contains("Recent File List/File3"));
    RecentFileList loaded;
    loaded.Load(settings);
    EXPECT_EQ(loaded.Files(), (QStringList{b, a}));
}

TEST_F(RecentFiles, LoadSkipsBlankSlotsAndSaveClearsStaleOnes) {
    QSettings settings(IniPath(), QSettings::IniFormat);
    settings.setValue("Recent File List/File1", "");
    settings.setValue("Recent File List/File2", "/maps/x.map");
    settings.setValue("Recent File List/File4", "/maps/y.map");
    RecentFileList list;
    list.Load(settings);
    EXPECT_EQ(list.Files(), (QStringList{"/maps/x.map", "/maps/y.map"}));
    list.Save(settings);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/maps/x.map");
    EXPECT_EQ(settings.value("Recent File List/File2").toString(), "/maps/y.map");
    EXPECT_FALSE(settings.contains("Recent File List/File4"));
}

TEST(ProgramSettingsKey, NamesTheOrganisationAndTheProgram) {
    UseProgramSettingsKey();
    const QSettings settings;
    EXPECT_EQ(settings.organizationName(), "Local AppWizard-Generated Applications");
    EXPECT_EQ(settings.applicationName(), "Tesselink");
}

}  // namespace
}  // namespace tesselink
