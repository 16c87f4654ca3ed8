// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Edit > Make Array...: one window repeated into rows x columns cells. The dialog opens with the
// focus in Rows; Tab goes to Columns; Enter accepts with the defaults for the rest. A preview
// line says how many windows are added and whether they fit; OK waits until they do.

#include <QDialog>

#include "layout/window_array.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace tesselink {

class ArrayDialog : public QDialog {
    Q_OBJECT
public:
    // For the window at `index` of `map`.
    ArrayDialog(const Map& map, int index, QWidget* parent = nullptr);

    ArrayShape Shape() const;
    const ArrayPlan& Plan() const { return plan_; }

    QLineEdit* RowsEdit() const { return rows_; }
    QLineEdit* ColumnsEdit() const { return columns_; }
    QLabel* Preview() const { return preview_; }
    // The numbering order, one of ArrayOrdersOffered() each with its picture.
    QComboBox* OrderBox() const { return order_; }

private:
    void Update();
    // The target steps follow the mode for all until the user types their own.
    void FollowMode();

    Map map_;
    int index_;
    ArrayPlan plan_;
    QLineEdit* rows_ = nullptr;
    QLineEdit* columns_ = nullptr;
    QLineEdit* originalStepX_ = nullptr;
    QLineEdit* originalStepY_ = nullptr;
    QLineEdit* targetStepX_ = nullptr;
    QLineEdit* targetStepY_ = nullptr;
    QComboBox* order_ = nullptr;
    QLabel* orderPicture_ = nullptr;  // the chosen order, larger
    QComboBox* mode_ = nullptr;
    QLabel* preview_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    bool targetStepsTyped_ = false;
};

}  // namespace tesselink
