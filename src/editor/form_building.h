// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Placing the editor panel's controls on its form in dialog units, as the template drew them.

#include <QLabel>
#include <QLineEdit>

#include <string>

#include "editor/form_units.h"

class QGroupBox;

namespace tesselink {

template <typename W>
W* Place(W* widget, int x, int y, int width, int height) {
    const PixelRect r = DialogRectToPixels(x, y, width, height);
    widget->setGeometry(r.X, r.Y, r.Width, r.Height);
    return widget;
}

QLabel* AddLabel(QWidget* form, const char* text, int x, int y, int w, int h, Qt::Alignment align = Qt::AlignLeft);
// A numeric field: the digits 0-9, and for arithmetic + - * / ( ) and blanks ("1920/4").
QLineEdit* AddNumberEdit(QWidget* form, const char* name, int x, int y, int w, int h);
// True when `text` is arithmetic to be worked out when the field is left, not digits alone.
bool IsArithmetic(const QString& text);
// The message of arithmetic that was refused, with `error` saying why.
std::string ArithmeticRefusal(const QString& text, const QString& error);
// A group frame, drawn behind the controls it frames.
QGroupBox* AddGroup(QWidget* form, const char* title, int x, int y, int w, int h);

// Undo and redo typed in a field of the form are the map's, not the field's.
bool IsMapUndoKey(const QEvent* event);

}  // namespace tesselink
