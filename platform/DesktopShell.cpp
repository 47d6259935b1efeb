#include "base/Log.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace horavia {

QString HelpFilePath() {
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QString besideProgram = exeDir.filePath(QStringLiteral("help"));
    if (QFileInfo(besideProgram).isDir()) {
        return besideProgram + QLatin1Char('/');
    }
    return QDir::cleanPath(exeDir.filePath(QStringLiteral("../share/horavia/help"))) + QLatin1Char('/');
}

bool DesktopShell::OpenHelpTopic(const QString& topic) {
    const QString page = HelpFilePath() + topic;
    if (!QFileInfo::exists(page)) {
        qCWarning(lcPlatform) << "help page not found:" << page;
        return false;
    }
    return OpenUrl(QUrl::fromLocalFile(page).toString());
}

bool DesktopShell::OpenUrl(const QString& url) {
    if (!QDesktopServices::openUrl(QUrl(url))) {
        qCWarning(lcPlatform) << "no program could open" << url;
        return false;
    }
    return true;
}

} // namespace horavia
