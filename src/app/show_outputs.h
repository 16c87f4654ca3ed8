// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every output of a show at its place while one of its maps is edited, so that the installer sees
// the whole wall: the output of the map being edited follows the document live, the others show
// their own maps over the same picture (the backdrop's), each composed on its own.

#include <memory>
#include <vector>

#include <QObject>
#include <QStringList>

#include "output/show_file.h"
#include "stage/target_composer.h"

class QScreen;
class QTimer;

namespace tesselink {

class Backdrop;
class CTesselinkDoc;
class OutputWindow;

class ShowOutputs : public QObject {
    Q_OBJECT
public:
    ShowOutputs(CTesselinkDoc& doc, const Backdrop& backdrop, QObject* parent = nullptr);
    ~ShowOutputs() override;

    // A window for every output of `show` whose screen is there; one line for each output that
    // is skipped (its screen missing, or its area taken by an earlier output).
    QStringList Open(const Show& show);
    void Close();
    bool IsOpen() const { return !outputs_.empty(); }
    // The window of output `index` (as listed in the show), nullptr when it was skipped or none
    // are open.
    OutputWindow* Window(int index) const;
    // The output whose map is the document's file, or -1.
    int EditedOutput() const;

signals:
    // Escape on one of the windows.
    void closeRequested();
    // An output's screen went: that output is off, the others go on.
    void outputGone(const QString& text);

private:
    struct Placed;
    void OnScreenRemoved(QScreen* screen);
    void ScheduleCompose();
    void Compose();
    void ComposeOne(Placed& placed, int edited);

    CTesselinkDoc& doc_;
    const Backdrop& backdrop_;
    Show show_;
    std::vector<std::unique_ptr<Placed>> outputs_;
    QTimer* compose_ = nullptr;
};

}  // namespace tesselink
