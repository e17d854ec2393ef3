#include "adapters/qt/QtFileChooser.h"

#include <QApplication>
#include <QFileDialog>

namespace rm {

namespace {

QWidget* owner()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : QApplication::activeWindow();
}

std::optional<std::string> chosen(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace

std::optional<std::string> QtFileChooser::chooseSaveFile(const SaveFileRequest& request)
{
    QFileDialog dialog(owner());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing an existing file is not questioned; the list shows the label alone.
    dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setNameFilter(QString::fromStdString(request.filterLabel + " (" + request.filterPattern + ")"));
    dialog.selectFile(QString::fromStdString(request.initialName));
    return chosen(dialog);
}

std::optional<std::string> QtFileChooser::chooseOpenFile(const OpenFileRequest& request)
{
    QFileDialog dialog(owner());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOptions(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters({QString::fromStdString(request.filterLabel + " (" + request.filterPattern + ")"),
                           QStringLiteral("All files (*)")});
    dialog.selectFile(QString::fromStdString(request.initialName));
    return chosen(dialog);
}

} // namespace rm
