// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
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

// The settings of this test live in a scratch folder; each case starts with `lockText` (or no
// file) as the lock of the program's settings.
class SettingsLock : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        UseProgramSettingsKey();
        lockPath_ = QSettings().fileName() + ".lock";
        ASSERT_TRUE(lockPath_.startsWith(dir_.path())) << lockPath_.toStdString();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(lockPath_).path()));
    }
    void WriteLock(const QByteArray& text) {
        QFile file(lockPath_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir_;
    QString lockPath_;
};

// A process killed between creating the lock and writing its owner leaves it empty; one whose
// process id a later copy of the program got names a live process of the same name.
TEST_F(SettingsLock, ALeftoverLockIsRemovedWhateverItSays) {
    QByteArray ownText;  // what a lock of this very process says
    {
        QLockFile own(dir_.filePath("own.lock"));
        ASSERT_TRUE(own.tryLock(0));
        QFile file(dir_.filePath("own.lock"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ownText = file.readAll();
    }
    ASSERT_TRUE(ownText.startsWith(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
    const QByteArray leftovers[] = {QByteArray(), ownText};
    for (const QByteArray& text : leftovers) {
        WriteLock(text);
        RemoveStaleSettingsLock();
        EXPECT_FALSE(QFile::exists(lockPath_)) << "left: \"" << text.toStdString() << "\"";
    }
    QSettings settings;
    settings.setValue("Recent File List/File1", "/maps/a.map");
    settings.sync();
    EXPECT_EQ(settings.status(), QSettings::NoError);
}

TEST_F(SettingsLock, ALockAProcessHoldsIsKept) {
    QLockFile held(lockPath_);
    ASSERT_TRUE(held.tryLock(0));
    RemoveStaleSettingsLock();
    EXPECT_TRUE(QFile::exists(lockPath_));
    EXPECT_TRUE(held.isLocked());
    held.unlock();
    EXPECT_FALSE(QFile::exists(lockPath_));
}

}  // namespace
}  // namespace tesselink
