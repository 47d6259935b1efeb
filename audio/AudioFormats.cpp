#include "audio/AudioFormats.h"

#include <QFileInfo>

namespace horavia {

namespace {

QStringList Extensions(const TAudioFormat& format) {
    return QString::fromLatin1(format.extensions.data(), static_cast<qsizetype>(format.extensions.size()))
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

QString ExtensionOf(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    const auto dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

bool Plays(const TAudioFormat& format, const QString& extension) {
    return !extension.isEmpty() && Extensions(format).contains(extension);
}

bool KnownFormat(const QString& fileName) {
    const QString extension = ExtensionOf(fileName);
    for (const TAudioFormat& format : AudioFormats) {
        if (Plays(format, extension)) {
            return true;
        }
    }
    return false;
}

std::string ModuleFile(std::string_view module) {
    return module == CoreModule ? std::string("libhoravia-audio.so")
                                : "libhoravia-audio-" + std::string(module) + ".so";
}

QStringList SoundFilePatterns() {
    QStringList patterns;
    for (const TAudioFormat& format : AudioFormats) {
        if (!format.built) {
            continue;
        }
        for (const QString& extension : Extensions(format)) {
            const QString pattern = QLatin1Char('*') + extension;
            if (!patterns.contains(pattern)) {
                patterns << pattern;
            }
        }
    }
    return patterns;
}

} // namespace horavia
