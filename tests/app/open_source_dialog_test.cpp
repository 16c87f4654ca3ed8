// SPDX-License-Identifier: GPL-3.0-or-later
// File > Open Source...'s dialog, offscreen: each choice makes its SOURCE text, OK takes only an
// address the rule accepts (a refusal stays in the dialog with its reason), and the keys.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include "app/open_source_dialog.h"

namespace tesselink {
namespace {

LiveSourceEnvironment X11() {
    LiveSourceEnvironment environment;
    environment.Display = ":0";
    return environment;
}

const std::vector<CaptureDevice> TwoDevices{{"/dev/video0", "Built-in camera"}, {"/dev/video2", "Capture card"}};

// Shows the dialog as the menu would, without blocking the test.
void Show(OpenSourceDialog& dialog) {
    dialog.open();
    QApplication::processEvents();
}

TEST(OpenSourceDialog, EachChoiceMakesItsSourceTextAndOkAcceptsIt) {
    {
        OpenSourceDialog dialog(TwoDevices, X11());
        Show(dialog);
        // With devices listed, the first is proposed.
        EXPECT_TRUE(dialog.DeviceChoice()->isChecked());
        dialog.DeviceBox()->setCurrentIndex(1);
        EXPECT_EQ(dialog.SourceText(), "v4l2:/dev/video2");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Address().Kind, LiveSourceKind::Device);
        EXPECT_EQ(dialog.Address().Url, "/dev/video2");
    }
    {
        // Without devices the stream address is proposed; a device may still be typed.
        OpenSourceDialog dialog({}, X11());
        Show(dialog);
        EXPECT_TRUE(dialog.StreamChoice()->isChecked());
        EXPECT_FALSE(dialog.DeviceBox()->isEnabled());
        dialog.DeviceChoice()->setChecked(true);
        dialog.DeviceBox()->setEditText("/dev/video5");
        EXPECT_EQ(dialog.SourceText(), "v4l2:/dev/video5");
    }
    {
        OpenSourceDialog dialog(TwoDevices, X11());
        Show(dialog);
        dialog.StreamChoice()->setChecked(true);
        EXPECT_TRUE(dialog.StreamField()->isEnabled());
        EXPECT_FALSE(dialog.DeviceBox()->isEnabled());
        QTest::keyClicks(dialog.StreamField(), "  srt://127.0.0.1:9000?mode=caller ");
        EXPECT_EQ(dialog.SourceText(), "srt://127.0.0.1:9000?mode=caller");
        // Enter in the field is OK.
        QTest::keyClick(dialog.StreamField(), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Address().Kind, LiveSourceKind::Srt);
    }
    {
        OpenSourceDialog dialog(TwoDevices, X11());
        Show(dialog);
        dialog.DesktopChoice()->setChecked(true);
        EXPECT_FALSE(dialog.StreamField()->isEnabled());
        dialog.ScreenBox()->setValue(1);
        dialog.XBox()->setValue(100);
        dialog.YBox()->setValue(50);
        dialog.WidthBox()->setValue(800);
        dialog.HeightBox()->setValue(600);
        EXPECT_EQ(dialog.SourceText(), "desktop:1,100,50,800,600");
        dialog.accept();
        ASSERT_EQ(dialog.result(), QDialog::Accepted) << dialog.Refusal().toStdString();
        const LiveSourceAddress& address = dialog.Address();
        EXPECT_EQ(address.Kind, LiveSourceKind::Desktop);
        EXPECT_TRUE(address.HasRectangle);
        EXPECT_EQ(address.X, 100);
        EXPECT_EQ(address.Y, 50);
        EXPECT_EQ(address.Width, 800);
        EXPECT_EQ(address.Height, 600);
    }
}

TEST(OpenSourceDialog, ARefusedAddressStaysInTheDialogWithItsReason) {
    OpenSourceDialog dialog(TwoDevices, X11());
    Show(dialog);
    dialog.StreamChoice()->setChecked(true);
    // Another protocol, a file, and nothing at all.
    for (const char* bad : {"http://example.org/live.ts", "file:///etc/passwd", ""}) {
        dialog.StreamField()->setText(bad);
        QTest::keyClick(dialog.StreamField(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << bad;
        EXPECT_NE(dialog.result(), QDialog::Accepted) << bad;
        EXPECT_FALSE(dialog.Refusal().isEmpty()) << bad;
        EXPECT_TRUE(dialog.Refusal().contains(QLatin1String(bad))) << dialog.Refusal().toStdString();
    }
    // Corrected, it goes, and the reason is gone.
    dialog.StreamField()->setText("udp://127.0.0.1:5000");
    QTest::keyClick(dialog.StreamField(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Refusal().isEmpty());

    // The desktop of a Wayland session cannot be captured: said in the dialog.
    LiveSourceEnvironment wayland;
    wayland.WaylandDisplay = "wayland-0";
    OpenSourceDialog onWayland(TwoDevices, wayland);
    Show(onWayland);
    onWayland.DesktopChoice()->setChecked(true);
    onWayland.accept();
    EXPECT_NE(onWayland.result(), QDialog::Accepted);
    EXPECT_TRUE(onWayland.Refusal().contains(QLatin1String("Wayland"))) << onWayland.Refusal().toStdString();
}

TEST(OpenSourceDialog, ArrowsChooseTabGoesDownTheFieldsEscapeCancels) {
    OpenSourceDialog dialog(TwoDevices, X11());
    Show(dialog);
    dialog.StreamChoice()->setChecked(true);
    dialog.StreamChoice()->setFocus();
    // The choices are one group: an arrow key picks the next, and its fields open.
    QTest::keyClick(dialog.StreamChoice(), Qt::Key_Down);
    EXPECT_TRUE(dialog.DesktopChoice()->isChecked());
    EXPECT_TRUE(dialog.ScreenBox()->isEnabled());
    EXPECT_FALSE(dialog.StreamField()->isEnabled());
    // Tab then runs screen, X, Y, W, H in that order.
    for (QSpinBox* box : {dialog.ScreenBox(), dialog.XBox(), dialog.YBox(), dialog.WidthBox(), dialog.HeightBox()}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), box) << qPrintable(QApplication::focusWidget()->objectName());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(OpenSourceDialog, ASourceGivenBeforeComesBackInItsFields) {
    OpenSourceDialog dialog(TwoDevices, X11());
    for (const char* text :
         {"desktop:2,10,20,300,200", "v4l2:/dev/video2", "v4l2:/dev/video9", "rtsp://10.0.0.5/cam"}) {
        dialog.Propose(text);
        EXPECT_EQ(dialog.SourceText(), text);
    }
}

}  // namespace
}  // namespace tesselink
