// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > Open Source...: a capture device, a stream address or a part of the desktop, turned into
// the SOURCE text that --source takes. OK checks it with the address rule; a refusal is shown in
// the dialog with its reason, and the dialog stays open.

#include <string>
#include <vector>

#include <QDialog>
#include <QString>

#include "video/live_source_address.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tesselink {

struct CaptureDevice {
    std::string Path;         // /dev/videoN
    std::string Description;  // as the driver names it
};

// The V4L2 capture devices libavdevice can list; empty when it lists none.
std::vector<CaptureDevice> ListCaptureDevices();

class OpenSourceDialog : public QDialog {
    Q_OBJECT
public:
    enum class Choice { Device, Stream, Desktop };

    OpenSourceDialog(const std::vector<CaptureDevice>& devices, const LiveSourceEnvironment& environment,
                     QWidget* parent = nullptr);

    // Starts with `text` (a SOURCE given before): its kind chosen and its fields filled.
    void Propose(const QString& text);
    // The SOURCE text the current choice makes (not yet checked).
    QString SourceText() const;
    // Checked on OK; valid after the dialog was accepted.
    const LiveSourceAddress& Address() const { return address_; }
    // Why the last OK was refused; empty when it was not.
    QString Refusal() const;

    QRadioButton* DeviceChoice() const { return deviceChoice_; }
    QRadioButton* StreamChoice() const { return streamChoice_; }
    QRadioButton* DesktopChoice() const { return desktopChoice_; }
    QComboBox* DeviceBox() const { return devices_; }
    QLineEdit* StreamField() const { return stream_; }
    QSpinBox* ScreenBox() const { return screen_; }
    QSpinBox* XBox() const { return x_; }
    QSpinBox* YBox() const { return y_; }
    QSpinBox* WidthBox() const { return width_; }
    QSpinBox* HeightBox() const { return height_; }

    void accept() override;

private:
    Choice Chosen() const;
    void UpdateEnabled();

    LiveSourceEnvironment environment_;
    LiveSourceAddress address_;
    QRadioButton* deviceChoice_ = nullptr;
    QRadioButton* streamChoice_ = nullptr;
    QRadioButton* desktopChoice_ = nullptr;
    QComboBox* devices_ = nullptr;
    QLineEdit* stream_ = nullptr;
    QSpinBox* screen_ = nullptr;
    QSpinBox* x_ = nullptr;
    QSpinBox* y_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QLabel* refusal_ = nullptr;
};

}  // namespace tesselink
