#include "app/HoraviaApplication.h"

#include "base/Log.h"
#include "display/ImageAssets.h"

#include <exception>

namespace horavia {

HoraviaApplication::HoraviaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("horavia"));
    setApplicationDisplayName(QStringLiteral("Horavia"));
    setApplicationVersion(QStringLiteral(HORAVIA_VERSION));
    setDesktopFileName(QStringLiteral("org.horavia.Horavia"));
    setWindowIcon(LoadProgramIcon());
    // A box closed while the window hides in the tray would otherwise end the program.
    setQuitOnLastWindowClosed(false);
}

bool HoraviaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        qCWarning(lcApp) << "an event handler failed:" << e.what();
    } catch (...) {
        qCWarning(lcApp) << "an event handler failed with an unknown error";
    }
    return false;
}

} // namespace horavia
