// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/open_source_dialog.h"

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
}

#include <mutex>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "video/library_log.h"

namespace tesselink {

std::vector<CaptureDevice> ListCaptureDevices() {
    static std::once_flag once;
    std::call_once(once, [] {
        InstallLibraryLog();
        avdevice_register_all();
    });
    std::vector<CaptureDevice> found;
    const AVInputFormat* format = av_find_input_format("video4linux2");
    if (format == nullptr) return found;
    AVDeviceInfoList* list = nullptr;
    // Negative when the device kind cannot list (no /dev/video*, no permission): an empty list.
    if (avdevice_list_input_sources(format, nullptr, nullptr, &list) >= 0 && list != nullptr) {
        for (int i = 0; i < list->nb_devices; ++i) {
            const AVDeviceInfo* device = list->devices[i];
            if (device == nullptr || device->device_name == nullptr) continue;
            found.push_back({device->device_name, device->device_description ? device->device_description : ""});
        }
    }
    avdevice_free_list_devices(&list);
    return found;
}

namespace {

QSpinBox* CoordinateBox(int minimum, int maximum, int value) {
    auto* box = new QSpinBox;
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

}  // namespace

OpenSourceDialog::OpenSourceDialog(const std::vector<CaptureDevice>& devices, const LiveSourceEnvironment& environment,
                                   QWidget* parent)
    : QDialog(parent), environment_(environment) {
    setWindowTitle(QStringLiteral("Open Source"));
    auto* layout = new QVBoxLayout(this);

    deviceChoice_ = new QRadioButton(QStringLiteral("Capture &device:"));
    devices_ = new QComboBox;
    for (const CaptureDevice& device : devices) {
        const QString path = QString::fromStdString(device.Path);
        const QString text = device.Description.empty()
                                 ? path
                                 : path + QStringLiteral(" (%1)").arg(QString::fromStdString(device.Description));
        devices_->addItem(text, path);
    }
    // A device named by hand when the list has it not (or is empty).
    devices_->setEditable(true);
    if (devices.empty()) devices_->setEditText(QStringLiteral("/dev/video0"));
    auto* deviceRow = new QHBoxLayout;
    deviceRow->addWidget(deviceChoice_);
    deviceRow->addWidget(devices_, 1);
    layout->addLayout(deviceRow);

    streamChoice_ = new QRadioButton(QStringLiteral("&Stream address:"));
    stream_ = new QLineEdit;
    stream_->setPlaceholderText(QStringLiteral("udp://, srt://, rtmp://, rtsp:// or rtp://"));
    auto* streamRow = new QHBoxLayout;
    streamRow->addWidget(streamChoice_);
    streamRow->addWidget(stream_, 1);
    layout->addLayout(streamRow);

    desktopChoice_ = new QRadioButton(QStringLiteral("Part of the des&ktop:"));
    screen_ = CoordinateBox(0, 99, 0);
    x_ = CoordinateBox(0, 65535, 0);
    y_ = CoordinateBox(0, 65535, 0);
    width_ = CoordinateBox(1, 65535, 640);
    height_ = CoordinateBox(1, 65535, 480);
    auto* desktop = new QGridLayout;
    desktop->addWidget(desktopChoice_, 0, 0, 1, 4);
    const auto labelled = [desktop](const char* text, QSpinBox* box, int row, int column) {
        auto* label = new QLabel(QString::fromUtf8(text));
        label->setBuddy(box);
        desktop->addWidget(label, row, column);
        desktop->addWidget(box, row, column + 1);
    };
    labelled("Sc&reen:", screen_, 1, 0);
    labelled("&X:", x_, 2, 0);
    labelled("&Y:", y_, 2, 2);
    labelled("&W:", width_, 3, 0);
    labelled("&H:", height_, 3, 2);
    layout->addLayout(desktop);

    refusal_ = new QLabel;
    refusal_->setWordWrap(true);
    refusal_->setStyleSheet(QStringLiteral("color: #b00020"));
    refusal_->hide();
    layout->addWidget(refusal_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // Top to bottom, as the fields stand.
    setTabOrder(deviceChoice_, devices_);
    setTabOrder(devices_, streamChoice_);
    setTabOrder(streamChoice_, stream_);
    setTabOrder(stream_, desktopChoice_);
    setTabOrder(desktopChoice_, screen_);
    setTabOrder(screen_, x_);
    setTabOrder(x_, y_);
    setTabOrder(y_, width_);
    setTabOrder(width_, height_);
    setTabOrder(height_, buttons);

    for (QRadioButton* choice : {deviceChoice_, streamChoice_, desktopChoice_})
        connect(choice, &QRadioButton::toggled, this, &OpenSourceDialog::UpdateEnabled);
    (devices.empty() ? streamChoice_ : deviceChoice_)->setChecked(true);
    UpdateEnabled();
}

OpenSourceDialog::Choice OpenSourceDialog::Chosen() const {
    if (deviceChoice_->isChecked()) return Choice::Device;
    if (desktopChoice_->isChecked()) return Choice::Desktop;
    return Choice::Stream;
}

void OpenSourceDialog::UpdateEnabled() {
    const Choice choice = Chosen();
    devices_->setEnabled(choice == Choice::Device);
    stream_->setEnabled(choice == Choice::Stream);
    for (QSpinBox* box : {screen_, x_, y_, width_, height_}) box->setEnabled(choice == Choice::Desktop);
    // The field of the choice takes the typing.
    if (choice == Choice::Stream && isVisible()) stream_->setFocus();
}

void OpenSourceDialog::Propose(const QString& text) {
    if (text.startsWith(QLatin1String("v4l2:"))) {
        const QString path = text.mid(5);
        const int index = devices_->findData(path);
        if (index >= 0)
            devices_->setCurrentIndex(index);
        else
            devices_->setEditText(path);
        deviceChoice_->setChecked(true);
    } else if (text.startsWith(QLatin1String("desktop:"))) {
        const QStringList parts = text.mid(8).split(',');
        QSpinBox* const boxes[] = {screen_, x_, y_, width_, height_};
        for (int i = 0; i < parts.size() && i < 5; ++i) {
            bool number = false;
            const int value = parts[i].toInt(&number);
            if (number) boxes[i]->setValue(value);
        }
        desktopChoice_->setChecked(true);
    } else if (!text.isEmpty()) {
        stream_->setText(text);
        streamChoice_->setChecked(true);
    }
    UpdateEnabled();
}

QString OpenSourceDialog::SourceText() const {
    switch (Chosen()) {
    case Choice::Device: {
        // The listed path, or what was typed into the box.
        QString path = devices_->currentText().trimmed();
        const int index = devices_->currentIndex();
        if (index >= 0 && devices_->itemText(index) == devices_->currentText())
            path = devices_->itemData(index).toString();
        return QStringLiteral("v4l2:") + path;
    }
    case Choice::Desktop:
        return QStringLiteral("desktop:%1,%2,%3,%4,%5")
            .arg(screen_->value())
            .arg(x_->value())
            .arg(y_->value())
            .arg(width_->value())
            .arg(height_->value());
    case Choice::Stream: break;
    }
    return stream_->text().trimmed();
}

QString OpenSourceDialog::Refusal() const { return refusal_->isHidden() ? QString() : refusal_->text(); }

void OpenSourceDialog::accept() {
    std::string why;
    LiveSourceAddress address;
    if (!ParseLiveSourceAddress(SourceText().toStdString(), environment_, address, &why)) {
        refusal_->setText(QString::fromStdString(why));
        refusal_->show();
        return;
    }
    refusal_->hide();
    address_ = address;
    QDialog::accept();
}

}  // namespace tesselink
