// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/map_head_file_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "editor/form_units.h"

namespace tesselink {
namespace {

constexpr int FormWidthUnits = 293;
constexpr int FormHeightUnits = 394;
// About the size of the template's 8-point dialog font on a 96 dpi screen, and the
// smallest size the form falls back to so that every caption fits its control.
constexpr int FormFontPixelSize = 11;
constexpr int SmallestFormFontPixelSize = 8;

// Narrow sans-serif faces first: the controls were sized for one.
QFont FormFont(const QFont& base) {
    QFont font = base;
    font.setFamilies({"Tahoma", "Liberation Sans", "Arial", "Nimbus Sans", "Helvetica", base.family()});
    font.setPixelSize(FormFontPixelSize);
    return font;
}

bool CaptionsFit(const QWidget& form) {
    for (const QLabel* label : form.findChildren<QLabel*>())
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->width()) return false;
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        const bool toggle = qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button);
        if (toggle && button->sizeHint().width() > button->width()) return false;
    }
    return true;
}

// Steps the form's font down until no caption is cut off.
void ShrinkFontUntilCaptionsFit(QWidget& form) {
    QFont font = form.font();
    while (!CaptionsFit(form) && font.pixelSize() > SmallestFormFontPixelSize) {
        font.setPixelSize(font.pixelSize() - 1);
        form.setFont(font);
    }
}

}  // namespace

CMapHeadFileView::CMapHeadFileView(CTesselinkDoc& doc, Backdrop& backdrop, QWidget* parent) : QScrollArea(parent) {
    setObjectName("MapHeadFileView");
    auto* form = new QWidget;
    form->setObjectName("MapHeadForm");
    form->setFont(FormFont(form->font()));
    form->setFixedSize(FormSize());

    head_ = new HeadForm(doc, backdrop, form, this);
    windows_ = new WindowForm(doc, backdrop, form, this);
    // After "OK" no window is picked: the fields show none.
    connect(head_, &HeadForm::headApplied, windows_, &WindowForm::ShowCurrentWindow);
    SetTabOrder();
    ShrinkFontUntilCaptionsFit(*form);
    // The buttons' focus frame must be seen from a distance: a thick blue border (the platform's
    // dotted one is a pixel wide and grey on grey). Set on the buttons alone, so that nothing
    // else of the form changes its look or its font.
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        const QFont font = button->font();
        button->setStyleSheet(QString::fromUtf8(PanelButtonStyle));
        button->setFont(font);
    }

    setWidget(form);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    // F6 lands on the first field, as on a form.
    setFocusProxy(head_->OriginalWidthEdit());
}

QSize CMapHeadFileView::FormSize() {
    return {DialogUnitsToPixelsX(FormWidthUnits), DialogUnitsToPixelsY(FormHeightUnits)};
}

void CMapHeadFileView::SetMessageBoxes(MessageBoxes* boxes) {
    head_->SetMessageBoxes(boxes);
    windows_->SetMessageBoxes(boxes);
}

void CMapHeadFileView::SetTabOrder() {
    std::vector<QWidget*> order = {head_->OriginalWidthEdit(), head_->OriginalHeightEdit(), head_->TargetWidthEdit(),
                                   head_->TargetHeightEdit()};
    for (int i = 0; i < WindowFieldCount; ++i) order.push_back(windows_->Field(i));
    for (QWidget* w : std::initializer_list<QWidget*>{
             windows_->MapModeBox(), windows_->WindowList(), windows_->AddButton(), windows_->DeleteButton(),
             head_->PicturePathEdit(), head_->BrowseButton(), head_->ApplyHeadButton(), head_->CoverFullScreenCheck()})
        order.push_back(w);
    for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
    // The radio groups are reached with the mouse only.
    head_->CoverSameDirectionRadio()->setFocusPolicy(Qt::ClickFocus);
    head_->CoverDifferentDirectionRadio()->setFocusPolicy(Qt::ClickFocus);
    for (QAbstractButton* radio : head_->ZoomAreaGroup()->buttons()) radio->setFocusPolicy(Qt::ClickFocus);
}

}  // namespace tesselink
