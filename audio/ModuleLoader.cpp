#include "audio/ModuleLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>

#include <dlfcn.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <climits>
#include <mutex>

namespace horavia {

namespace {

Q_LOGGING_CATEGORY(lcModules, "horavia.audio.modules", QtWarningMsg)

// Where the running program lives; read from /proc so that it works before (and without) a Qt application.
QString ExecutableDir() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return {};
    }
    buf[n] = '\0';
    return QFileInfo(QString::fromLocal8Bit(buf)).absolutePath();
}

// Whether the program runs with more rights than whoever started it: set-user-ID, or file capabilities such
// as the wake-alarm one the installed program is given. Such a program takes no load path from its
// environment, or anyone could run their own module with those rights.
bool Privileged() {
    return ::getauxval(AT_SECURE) != 0;
}

// Module folders in the order tried: the one named in HORAVIA_AUDIO_MODULE_DIR (tests, development; never
// for a privileged program), then the folders next to the program. No absolute build path is compiled in,
// so an installed program never picks up a stale build tree.
QStringList SearchDirs() {
    QStringList dirs;
    const QByteArray env = qgetenv("HORAVIA_AUDIO_MODULE_DIR");
    if (!env.isEmpty() && Privileged()) {
        static std::once_flag once;
        std::call_once(once, [] {
            qCWarning(lcModules) << "HORAVIA_AUDIO_MODULE_DIR is ignored: the program runs with raised privileges";
        });
    } else if (!env.isEmpty()) {
        dirs << QString::fromLocal8Bit(env);
    }
    const QString exe = ExecutableDir();
    if (!exe.isEmpty()) {
        dirs << exe + QStringLiteral("/lib/horavia") << exe + QStringLiteral("/../lib/horavia")
             << exe + QStringLiteral("/../../lib/horavia") << exe;
    }
    return dirs;
}

class DlModuleLoader final : public ModuleLoader {
public:
    Handle Load(const std::string& fileName) override {
        for (const QString& dir : SearchDirs()) {
            const QString path = QDir(dir).filePath(QString::fromStdString(fileName));
            if (!QFileInfo::exists(path)) {
                continue;
            }
            if (void* h = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL)) {
                return h;
            }
            qCWarning(lcModules) << "Unable to load library" << path << ::dlerror();
        }
        qCWarning(lcModules) << "Unable to load library" << QString::fromStdString(fileName);
        return nullptr;
    }

    void* Resolve(Handle module, const char* name) override { return module ? ::dlsym(module, name) : nullptr; }

    void Unload(Handle module) override {
        if (module) {
            ::dlclose(module);
        }
    }
};

} // namespace

ModuleLoader& ModuleLoader::System() {
    static DlModuleLoader loader;
    return loader;
}

} // namespace horavia
