// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/show_outputs.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "document/tesselink_doc.h"
#include "output/output_window.h"
#include "output/screen_choice.h"
#include "stage/backdrop.h"

namespace tesselink {

struct ShowOutputs::Placed {
    int Index = 0;
    std::unique_ptr<OutputWindow> Window;
    TargetComposer Composer;
};

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    const QFileInfo first(QString::fromStdString(a));
    const QFileInfo second(QString::fromStdString(b));
    const QString x = first.canonicalFilePath();
    return x.isEmpty() ? first.absoluteFilePath() == second.absoluteFilePath() : x == second.canonicalFilePath();
}

QRect TargetArea(const QRect& geometry, const Map& map) {
    return QRect(geometry.topLeft(), QSize(map.Head.TargetWidth, map.Head.TargetHeight)) & geometry;
}

}  // namespace

ShowOutputs::ShowOutputs(CTesselinkDoc& doc, const Backdrop& backdrop, QObject* parent)
    : QObject(parent), doc_(doc), backdrop_(backdrop), compose_(new QTimer(this)) {
    // One composition for a burst of changes, once the events are handled.
    compose_->setSingleShot(true);
    compose_->setInterval(0);
    connect(compose_, &QTimer::timeout, this, &ShowOutputs::Compose);
    connect(&doc_, &CTesselinkDoc::changed, this, &ShowOutputs::ScheduleCompose);
    connect(&backdrop_, &Backdrop::changed, this, &ShowOutputs::ScheduleCompose);
    // Another map of the show opened: another output follows the document.
    connect(&doc_, &CTesselinkDoc::mapFilePathChanged, this, &ShowOutputs::ScheduleCompose);
    connect(qApp, &QGuiApplication::screenRemoved, this, &ShowOutputs::OnScreenRemoved);
}

ShowOutputs::~ShowOutputs() = default;

QStringList ShowOutputs::Open(const Show& show) {
    Close();
    show_ = show;
    QStringList skipped;
    const std::vector<ScreenDescription> screens = CurrentScreens();
    std::vector<QRect> taken;
    for (std::size_t i = 0; i < show_.Outputs.size(); ++i) {
        const ShowOutput& output = show_.Outputs[i];
        const QString name = QString::fromStdString(output.Name);
        QString problem;
        const std::optional<OutputPlace> place = PlaceOutput(screens, output.Screen, output.At, &problem);
        if (!place) {
            skipped << QStringLiteral("Output %1 skipped: %2").arg(name, problem);
            continue;
        }
        // Each window is its target's size, so that the outputs sharing a screen lie side by side.
        const QRect area = TargetArea(place->Geometry, output.LoadedMap);
        bool overlaps = false;
        for (const QRect& other : taken) overlaps = overlaps || area.intersects(other);
        if (overlaps || area.isEmpty()) {
            skipped << QStringLiteral("Output %1 skipped: its area is taken by another output").arg(name);
            continue;
        }
        taken.push_back(area);
        auto placed = std::make_unique<Placed>();
        placed->Index = static_cast<int>(i);
        QScreen* screen = QGuiApplication::screens().at(place->Screen);
        placed->Window = std::make_unique<OutputWindow>(screen);
        placed->Window->Place(screen, area);
        // A lost surface is painted again at once, as the single output does.
        Placed* own = placed.get();
        connect(placed->Window.get(), &OutputWindow::frameWanted, this,
                [this, own] { ComposeOne(*own, EditedOutput()); });
        connect(placed->Window.get(), &OutputWindow::closeRequested, this, [this] {
            // Not from inside the window's own event handler.
            QTimer::singleShot(0, this, &ShowOutputs::closeRequested);
        });
        outputs_.push_back(std::move(placed));
    }
    Compose();
    for (auto& placed : outputs_) placed->Window->show();
    return skipped;
}

void ShowOutputs::Close() {
    compose_->stop();
    for (auto& placed : outputs_) placed->Window->hide();
    outputs_.clear();
}

OutputWindow* ShowOutputs::Window(int index) const {
    for (const auto& placed : outputs_)
        if (placed->Index == index) return placed->Window.get();
    return nullptr;
}

int ShowOutputs::EditedOutput() const {
    for (std::size_t i = 0; i < show_.Outputs.size(); ++i)
        if (SameFile(show_.Outputs[i].MapPath, doc_.MapFilePath())) return static_cast<int>(i);
    return -1;
}

void ShowOutputs::OnScreenRemoved(QScreen* screen) {
    for (auto it = outputs_.begin(); it != outputs_.end();) {
        if ((*it)->Window->screen() != screen) {
            ++it;
            continue;
        }
        // The window goes before the screen it was on.
        (*it)->Window->hide();
        const QString name = QString::fromStdString(show_.Outputs[static_cast<std::size_t>((*it)->Index)].Name);
        it = outputs_.erase(it);
        emit outputGone(QStringLiteral("Output %1 off: its screen %2 is gone").arg(name, screen->name()));
    }
}

void ShowOutputs::ScheduleCompose() {
    if (IsOpen()) compose_->start();
}

void ShowOutputs::Compose() {
    const int edited = EditedOutput();
    for (auto& placed : outputs_) ComposeOne(*placed, edited);
}

void ShowOutputs::ComposeOne(Placed& placed, int edited) {
    const BackgroundPicture& shown = backdrop_.Background();
    const ColourPlanes& planes = shown.Planes();
    const ShowOutput& output = show_.Outputs[static_cast<std::size_t>(placed.Index)];
    const bool follows = placed.Index == edited;
    // The edited map as the Target view shows it; the others as the show plays them.
    const MapFileHead& head = follows ? doc_.GetHead() : output.LoadedMap.Head;
    const PlaybackWindows& windows = follows ? doc_.GetPlaybackWindows() : output.LoadedMap.Windows;
    const CoverMode wanted = follows || !output.Cover ? CoverModeFromOption(head.CoverOption) : *output.Cover;
    placed.Composer.SetMap(windows, head, CoverModeDrawn(wanted, windows, head, shown.Exists()));
    if (windows.empty() || !shown.Exists() || !planes.IsPresent()) {
        placed.Window->Clear();
        return;
    }
    TargetComposer& composer = placed.Composer;
    placed.Window->Present(QSize(head.TargetWidth, head.TargetHeight),
                           [&composer, &planes](std::uint32_t* words, std::ptrdiff_t stride) {
                               return composer.ComposeWholeInto(planes, words, stride);
                           });
}

}  // namespace tesselink
