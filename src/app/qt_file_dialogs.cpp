// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace tesselink {

QString QtNameFilter(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    static const QRegularExpression patterns(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = patterns.match(text);
    if (!match.hasMatch()) return text;
    QStringList list = match.captured(1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // Pictures saved as *.jpeg are JPEG pictures too; the text shown stays as given.
    if (list.contains(QStringLiteral("*.jpg")) && !list.contains(QStringLiteral("*.jpeg")))
        list.insert(list.indexOf(QStringLiteral("*.jpg")) + 1, QStringLiteral("*.jpeg"));
    list.removeDuplicates();
    return text + QStringLiteral(" (") + list.join(QLatin1Char(' ')) + QLatin1Char(')');
}

namespace {

std::string Run(QWidget* owner, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    // The same dialog everywhere, so that it answers the keyboard alike on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QtNameFilter(request.Filter));
    if (!request.DefaultSuffix.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.DefaultSuffix));
    const QString proposed = QString::fromStdString(request.ProposedPath);
    if (QFileInfo(proposed).isDir())
        dialog.setDirectory(proposed);  // a folder to start in, with no name filled in
    else if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::string QtFileDialogs::AskOpenPath(const FileDialogRequest& request) {
    return Run(Owner_, request, QFileDialog::AcceptOpen);
}

std::string QtFileDialogs::AskSavePath(const FileDialogRequest& request) {
    return Run(Owner_, request, QFileDialog::AcceptSave);
}

}  // namespace tesselink
