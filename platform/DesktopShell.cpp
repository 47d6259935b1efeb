#include "base/Log.h"
#include "platform/Shell.h"
#include "texts/UiLanguage.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace horavia {
namespace {

// The page of a topic in the language of this code ("en"): the language's own page in the help folder's
// subfolder of that name, else the Chinese page at the top, which every topic has.
QString HelpPagePath(const QString& helpFolder, const QString& topic, const QString& languageCode) {
    const QString own = helpFolder + languageCode + QLatin1Char('/') + topic;
    return QFileInfo::exists(own) ? own : helpFolder + topic;
}

} // namespace

QString HelpFilePath() {
    const QDir exeDir(QCoreApplication::applicationDirPath());
    const QString besideProgram = exeDir.filePath(QStringLiteral("help"));
    if (QFileInfo(besideProgram).isDir()) {
        return besideProgram + QLatin1Char('/');
    }
    return QDir::cleanPath(exeDir.filePath(QStringLiteral("../share/horavia/help"))) + QLatin1Char('/');
}

bool DesktopShell::OpenHelpTopic(const QString& topic) {
    const QString page = HelpPagePath(HelpFilePath(), topic, UiLanguageCode(CurrentUiLanguage()));
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
