// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/array_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/array_order_picture.h"

namespace tesselink {
namespace {

QLineEdit* NumberEdit(int value, int lowest, int highest) {
    auto* edit = new QLineEdit(QString::number(value));
    edit->setValidator(new QIntValidator(lowest, highest, edit));
    return edit;
}

int ValueOf(const QLineEdit* edit) { return edit->text().toInt(); }

}  // namespace

ArrayDialog::ArrayDialog(const Map& map, int index, QWidget* parent) : QDialog(parent), map_(map), index_(index) {
    setWindowTitle(QStringLiteral("Make Array"));
    const ArrayShape defaults = DefaultArrayShape(map.Windows[static_cast<std::size_t>(index)]);
    rows_ = NumberEdit(defaults.Rows, 1, 255);
    rows_->setObjectName("ArrayRowsEdit");
    columns_ = NumberEdit(defaults.Columns, 1, 255);
    columns_->setObjectName("ArrayColumnsEdit");
    originalStepX_ = NumberEdit(defaults.OriginalStepX, -2000, 2000);
    originalStepY_ = NumberEdit(defaults.OriginalStepY, -2000, 2000);
    targetStepX_ = NumberEdit(defaults.TargetStepX, -2000, 2000);
    targetStepY_ = NumberEdit(defaults.TargetStepY, -2000, 2000);
    order_ = new QComboBox;
    order_->setObjectName("ArrayOrderBox");
    order_->setIconSize(QSize(32, 24));
    for (const ArrayOrder order : ArrayOrdersOffered())
        order_->addItem(QPixmap::fromImage(ArrayOrderPicture(order, QSize(32, 24))),
                        QString::fromStdString(ArrayOrderName(order)), static_cast<int>(order));
    orderPicture_ = new QLabel;
    orderPicture_->setObjectName("ArrayOrderPicture");
    mode_ = new QComboBox;
    for (int mode = 0; mode < MapModeCount; ++mode) mode_->addItem(QString::fromUtf8(MapModeText(mode)));
    mode_->setCurrentIndex(defaults.Mode < MapModeCount ? defaults.Mode : 0);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Rows:"), rows_);
    form->addRow(QStringLiteral("&Columns:"), columns_);
    form->addRow(QStringLiteral("Original step &X:"), originalStepX_);
    form->addRow(QStringLiteral("Original step &Y:"), originalStepY_);
    form->addRow(QStringLiteral("Target step X:"), targetStepX_);
    form->addRow(QStringLiteral("Target step Y:"), targetStepY_);
    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(order_, 1);
    orderRow->addWidget(orderPicture_);
    form->addRow(QStringLiteral("&Numbering:"), orderRow);
    form->addRow(QStringLiteral("&Mode for all:"), mode_);
    preview_ = new QLabel;
    preview_->setObjectName("ArrayPreview");
    preview_->setWordWrap(true);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(preview_);
    layout->addWidget(buttons_);
    // Rows first, then Columns: Tab order follows the form.
    setTabOrder(rows_, columns_);
    rows_->setFocus(Qt::OtherFocusReason);
    rows_->selectAll();

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit* edit : {rows_, columns_, originalStepX_, originalStepY_, targetStepX_, targetStepY_})
        connect(edit, &QLineEdit::textChanged, this, &ArrayDialog::Update);
    for (QLineEdit* edit : {targetStepX_, targetStepY_})
        connect(edit, &QLineEdit::textEdited, this, [this] { targetStepsTyped_ = true; });
    connect(order_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ArrayDialog::Update);
    connect(mode_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ArrayDialog::FollowMode);
    Update();
}

ArrayShape ArrayDialog::Shape() const {
    ArrayShape shape;
    shape.Rows = ValueOf(rows_);
    shape.Columns = ValueOf(columns_);
    shape.OriginalStepX = ValueOf(originalStepX_);
    shape.OriginalStepY = ValueOf(originalStepY_);
    shape.TargetStepX = ValueOf(targetStepX_);
    shape.TargetStepY = ValueOf(targetStepY_);
    shape.Order = static_cast<ArrayOrder>(order_->currentData().toInt());
    shape.Mode = mode_->currentIndex();
    return shape;
}

void ArrayDialog::FollowMode() {
    if (!targetStepsTyped_) {
        const PictureSize placed = PlacedSizeIn(map_.Windows[static_cast<std::size_t>(index_)], mode_->currentIndex());
        targetStepX_->setText(QString::number(placed.Width));
        targetStepY_->setText(QString::number(placed.Height));
    }
    Update();
}

void ArrayDialog::Update() {
    plan_ = PlanArray(map_, index_, Shape());
    orderPicture_->setPixmap(
        QPixmap::fromImage(ArrayOrderPicture(static_cast<ArrayOrder>(order_->currentData().toInt()), QSize(64, 48))));
    preview_->setText(QString::fromStdString(plan_.Verdict));
    // Enter with the rest at their defaults accepts, as long as the windows fit.
    QPushButton* ok = buttons_->button(QDialogButtonBox::Ok);
    ok->setEnabled(plan_.Fits && plan_.AddedCount > 0);
    ok->setDefault(true);
}

}  // namespace tesselink
