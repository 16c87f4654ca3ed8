// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/output_commands.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include "app/action_registry.h"
#include "app/menu_places.h"
#include "app/output_position_dialog.h"
#include "app/show_outputs.h"
#include "document/tesselink_doc.h"
#include "map/message_boxes.h"
#include "output/output_window.h"
#include "output/screen_choice.h"
#include "stage/backdrop.h"

namespace tesselink {
namespace {

const char* const ScreenKey = "Output/Screen";
const char* const PositionKey = "Output/Position";

}  // namespace

OutputCommands::OutputCommands(CTesselinkDoc& doc, const Backdrop& backdrop, MessageBoxes& boxes, QWidget* parent)
    : QObject(parent),
      doc_(doc),
      backdrop_(backdrop),
      boxes_(boxes),
      parent_(parent),
      compose_(new QTimer(this)),
      showOutputs_(new ShowOutputs(doc, backdrop, this)) {
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
    QSettings settings;
    position_ = settings.value(PositionKey, QPoint(0, 0)).toPoint();
    screenName_ = settings.value(ScreenKey).toString();
    // One composition for a burst of changes, once the events are handled.
    compose_->setSingleShot(true);
    compose_->setInterval(0);
    connect(compose_, &QTimer::timeout, this, &OutputCommands::Compose);
    connect(&doc_, &CTesselinkDoc::changed, this, &OutputCommands::ScheduleCompose);
    connect(&backdrop_, &Backdrop::changed, this, &OutputCommands::ScheduleCompose);
    connect(qApp, &QGuiApplication::screenAdded, this, &OutputCommands::RebuildMenu);
    connect(qApp, &QGuiApplication::screenRemoved, this, &OutputCommands::OnScreenRemoved);
    connect(showOutputs_, &ShowOutputs::closeRequested, this, &OutputCommands::TurnOff);
    connect(showOutputs_, &ShowOutputs::outputGone, this, [this](const QString& text) {
        UpdateChecks();
        emit statusMessage(text);
    });
}

void OutputCommands::Register(ActionRegistry& registry) {
    MenuInfo info;
    info.Id = MenuIds::Output;
    info.Title = QStringLiteral("&Output");
    info.ObjectName = QStringLiteral("OutputMenu");
    info.Place = MenuPlace{MenuIds::View, ViewOutputSection};
    menu_ = registry.AddMenu(info);
    RebuildMenu();
}

OutputCommands::~OutputCommands() = default;

void OutputCommands::RebuildMenu() {
    if (menu_ == nullptr) return;
    for (QAction* a : group_->actions()) group_->removeAction(a);
    menu_->clear();
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        QScreen* screen = screens[i];
        QAction* item = menu_->addAction(ScreenMenuText({screen->name(), screen->geometry()}, i));
        item->setObjectName(QStringLiteral("outputScreen%1").arg(i + 1));
        item->setCheckable(true);
        item->setChecked(screen == screen_ && window_ != nullptr);
        group_->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { TurnOn(i); });
    }
    off_ = menu_->addAction(QStringLiteral("O&ff"));
    off_->setObjectName("outputOff");
    off_->setCheckable(true);
    off_->setChecked(window_ == nullptr && !ShowIsOn());
    group_->addAction(off_);
    connect(off_, &QAction::triggered, this, &OutputCommands::TurnOff);
    showItem_ = menu_->addAction(QStringLiteral("&Show's Outputs"));
    showItem_->setObjectName("outputShow");
    showItem_->setCheckable(true);
    showItem_->setChecked(ShowIsOn());
    showItem_->setEnabled(show_.has_value());
    group_->addAction(showItem_);
    connect(showItem_, &QAction::triggered, this, &OutputCommands::TurnOnShow);
    menu_->addSeparator();
    positionAction_ = menu_->addAction(QStringLiteral("&Position..."));
    positionAction_->setObjectName("outputPosition");
    connect(positionAction_, &QAction::triggered, this, &OutputCommands::AskPosition);
}

void OutputCommands::UpdateChecks() {
    // The items stay: one of them may be the one being triggered.
    const QList<QScreen*> screens = QGuiApplication::screens();
    const QList<QAction*> items = group_->actions();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i] == off_)
            off_->setChecked(window_ == nullptr && !ShowIsOn());
        else if (items[i] == showItem_)
            showItem_->setChecked(ShowIsOn());
        else if (i < screens.size())
            items[i]->setChecked(window_ != nullptr && screens[i] == screen_);
    }
}

void OutputCommands::TurnOn(int screen) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screen < 0 || screen >= screens.size()) return;
    screen_ = screens[screen];
    screenName_ = screen_->name();
    showOutputs_->Close();
    if (!window_) {
        window_ = std::make_unique<OutputWindow>(screen_);
        connect(window_.get(), &OutputWindow::frameWanted, this, &OutputCommands::Compose);
        connect(window_.get(), &OutputWindow::closeRequested, this, [this] {
            // Not from inside the window's own event handler.
            QTimer::singleShot(0, this, &OutputCommands::TurnOff);
        });
    }
    window_->Place(screen_, OutputGeometry(screen_->geometry(), position_));
    Compose();
    window_->show();
    // The editor keeps the keyboard: a click on the output and Escape turn it off.
    if (parent_ && parent_->window()) parent_->window()->activateWindow();
    Remember();
    UpdateChecks();
    emit statusMessage(QStringLiteral("Output on %1; Escape on it turns it off")
                           .arg(ScreenMenuText({screen_->name(), screen_->geometry()},
                                               static_cast<int>(QGuiApplication::screens().indexOf(screen_)))));
}

void OutputCommands::TurnOff() {
    if (ShowIsOn()) {
        showOutputs_->Close();
        UpdateChecks();
        emit statusMessage(QStringLiteral("Output off"));
    }
    if (!window_) return;
    window_->hide();
    window_.reset();
    screen_ = nullptr;
    compose_->stop();
    Remember();
    UpdateChecks();
    emit statusMessage(QStringLiteral("Output off"));
}

void OutputCommands::Close() {
    // Hidden as the editor closes, remembered as on for the next start.
    if (window_) window_->hide();
    window_.reset();
    compose_->stop();
    showOutputs_->Close();
}

void OutputCommands::SetShow(const Show* show) {
    if (show)
        show_ = *show;
    else
        show_.reset();
    if (showItem_) showItem_->setEnabled(show_.has_value());
    if (!ShowIsOn()) return;
    if (show_)
        TurnOnShow();
    else
        TurnOff();
}

bool OutputCommands::ShowIsOn() const { return showOutputs_->IsOpen(); }

bool OutputCommands::TurnOnShow() {
    if (!show_) return false;
    if (window_) {
        window_->hide();
        window_.reset();
        screen_ = nullptr;
        compose_->stop();
        Remember();
    }
    const QStringList skipped = showOutputs_->Open(*show_);
    // The editor keeps the keyboard, as with the single output.
    if (parent_ && parent_->window()) parent_->window()->activateWindow();
    UpdateChecks();
    const int shown = static_cast<int>(show_->Outputs.size()) - static_cast<int>(skipped.size());
    QString text = QStringLiteral("%1 of the show's %2 outputs on").arg(shown).arg(show_->Outputs.size());
    if (!skipped.isEmpty()) text += QStringLiteral(" (%1)").arg(skipped.join(QStringLiteral("; ")));
    emit statusMessage(text + QStringLiteral("; Escape on one turns them off"));
    return ShowIsOn();
}

void OutputCommands::SetPosition(const QPoint& position) {
    position_ = position;
    if (window_ && screen_) window_->Place(screen_, OutputGeometry(screen_->geometry(), position_));
    Remember();
}

void OutputCommands::Restore() {
    if (screenName_.isEmpty() || QGuiApplication::screens().size() < 2) return;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i]->name() == screenName_) {
            TurnOn(i);
            return;
        }
}

void OutputCommands::Remember() const {
    QSettings settings;
    settings.setValue(ScreenKey, window_ ? screenName_ : QString());
    settings.setValue(PositionKey, position_);
}

void OutputCommands::ScheduleCompose() {
    if (window_) compose_->start();
}

void OutputCommands::Compose() {
    if (!window_) return;
    const MapFileHead& head = doc_.GetHead();
    const PlaybackWindows& windows = doc_.GetPlaybackWindows();
    const BackgroundPicture& shown = backdrop_.Background();
    // What the Target view shows at zoom 1, without its outlines and labels.
    const CoverMode mode = CoverModeDrawn(CoverModeFromOption(head.CoverOption), windows, head, shown.Exists());
    composer_.SetMap(windows, head, mode);
    const ColourPlanes& planes = shown.Planes();
    if (windows.empty() || !shown.Exists() || !planes.IsPresent()) {
        window_->Clear();
        return;
    }
    window_->Present(QSize(head.TargetWidth, head.TargetHeight),
                     [this, &planes](std::uint32_t* words, std::ptrdiff_t stride) {
                         return composer_.ComposeWholeInto(planes, words, stride);
                     });
}

void OutputCommands::AskPosition() {
    QScreen* screen = screen_ ? screen_ : QGuiApplication::primaryScreen();
    OutputPositionDialog dialog(position_, screen ? screen->geometry().size() : QSize(1, 1), parent_);
    if (dialog.exec() == QDialog::Accepted) SetPosition(dialog.Position());
}

void OutputCommands::OnScreenRemoved(QScreen* screen) {
    const bool ours = screen == screen_ && window_ != nullptr;
    if (ours) {
        // The window goes before the screen it was on.
        window_->hide();
        window_.reset();
        screen_ = nullptr;
        compose_->stop();
        Remember();
        UpdateChecks();
    }
    // The menu lists the screens that are left.
    QTimer::singleShot(0, this, &OutputCommands::RebuildMenu);
    if (ours) {
        emit statusMessage(QStringLiteral("Output off: its screen %1 is gone").arg(screenName_));
        boxes_.Show(ApplicationMessage("The screen " + screenName_.toStdString() +
                                       " of the output is gone; the output is off."));
    }
}

}  // namespace tesselink
