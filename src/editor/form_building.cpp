// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/form_building.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace tesselink {

QLabel* AddLabel(QWidget* form, const char* text, int x, int y, int w, int h, Qt::Alignment align) {
    auto* label = Place(new QLabel(QString::fromUtf8(text), form), x, y, w, h);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QLineEdit* AddNumberEdit(QWidget* form, const char* name, int x, int y, int w, int h) {
    auto* edit = Place(new QLineEdit(form), x, y, w, h);
    edit->setObjectName(name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9+*/() -]*"), edit));
    return edit;
}

bool IsArithmetic(const QString& text) {
    for (const QChar c : text)
        if (!c.isDigit()) return true;
    return false;
}

std::string ArithmeticRefusal(const QString& text, const QString& error) {
    return "Cannot use \"" + text.trimmed().toStdString() + "\": " + error.toStdString() + ".";
}

QGroupBox* AddGroup(QWidget* form, const char* title, int x, int y, int w, int h) {
    auto* group = Place(new QGroupBox(QString::fromUtf8(title), form), x, y, w, h);
    group->lower();
    return group;
}

bool IsMapUndoKey(const QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo);
}

}  // namespace tesselink
