#pragma once

#include <QString>

namespace horavia {

// Opening documents and pages with the desktop's default programs.
class Shell {
public:
    virtual ~Shell() = default;

    /// Opens a help topic (an HTML page of the help folder) in the language the interface shows, or in Chinese
    /// when that language has no such page; false, logged, when it cannot.
    virtual bool OpenHelpTopic(const QString& topic) = 0;
    /// Opens a web page or a mailto: link in the default program; false, logged, when it cannot.
    virtual bool OpenUrl(const QString& url) = 0;
};

// The desktop's own handlers, reached through Qt (xdg-open and the portals underneath).
class DesktopShell final : public Shell {
public:
    bool OpenHelpTopic(const QString& topic) override;
    bool OpenUrl(const QString& url) override;
};

// The folder of the help pages: "help" beside the program in a build tree, or the installed
// share/horavia/help relative to the program's own location.
QString HelpFilePath();

} // namespace horavia
