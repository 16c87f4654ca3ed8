// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "app/command_ids.h"

namespace tesselink {
namespace {

TEST(AboutBox, CaptionIconVersionTextAndOneOkButton) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Tesselink");
    auto* text = about.findChild<QLabel*>("AboutText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Tesselink Version 1.4");
    auto* icon = about.findChild<QLabel*>("AboutIcon");
    ASSERT_NE(icon, nullptr);
    ASSERT_FALSE(icon->pixmap().isNull());
    // The icon is drawn, not blank: some of its pixels are opaque.
    const QImage image = icon->pixmap().toImage();
    EXPECT_GT(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 0);
    const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(about.findChild<QDialogButtonBox*>()->standardButton(buttons[0]), QDialogButtonBox::Ok);
    if (const QByteArray out = qgetenv("TESSELINK_SHOT_DIR"); !out.isEmpty()) about.grab().save(out + "/about.png");
}

TEST(AboutBox, HelpAboutShowsItModallyAndOkClosesIt) {
    CMainFrame frame;
    QString caption;
    QTimer::singleShot(0, [&caption] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        caption = modal->windowTitle();
        modal->findChild<QPushButton*>()->click();
    });
    frame.Action(CommandAppAbout)->trigger();
    EXPECT_EQ(caption, "About Tesselink");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace tesselink
