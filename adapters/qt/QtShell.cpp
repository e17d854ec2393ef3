#include "adapters/qt/QtShell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace rm {

int QtShell::open(const std::string& target)
{
    const QString text = QString::fromStdString(target);
    QUrl url(text);
    // A scheme of two letters or more is a link; anything else is a file.
    if (url.scheme().size() < 2) {
        QFileInfo file(text);
        if (!file.dir().exists())
            return 3; // path not found
        if (!file.exists())
            return 2; // file not found
        url = QUrl::fromLocalFile(file.absoluteFilePath());
    }
    // The desktop only says whether a handler took it.
    return QDesktopServices::openUrl(url) ? 42 : 31;
}

} // namespace rm
