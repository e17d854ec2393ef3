#include "adapters/qt/QtFileChooser.h"

#include <QApplication>
#include <QFileDialog>

namespace rm {

std::optional<std::string> QtFileChooser::chooseSaveFile(const SaveFileRequest& request)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing an existing file is not questioned; the list shows the label alone.
    dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setNameFilter(QString::fromStdString(request.filterLabel + " (" + request.filterPattern + ")"));
    dialog.selectFile(QString::fromStdString(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace rm
