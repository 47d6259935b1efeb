#include "tools/draw_assets/PngWriter.h"

#include "tools/png/PngEncoder.h"

#include <QFile>

#include <cstdio>

namespace horavia::tools {

bool WritePng(const QImage& image, const QString& path, bool withAlpha, TPngLayout layout) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const int channels = withAlpha ? 4 : 3;
    std::vector<std::uint8_t> samples;
    samples.reserve(static_cast<std::size_t>(rgba.width() * rgba.height() * channels));
    for (int y = 0; y < rgba.height(); ++y) {
        const uchar* src = rgba.constScanLine(y);
        for (int x = 0; x < rgba.width(); ++x) {
            const uchar* p = src + x * 4;
            const bool clear = withAlpha && p[3] == 0; // no stray colour under fully clear pixels
            for (int c = 0; c < channels; ++c) {
                samples.push_back(clear ? 0 : p[c]);
            }
        }
    }
    std::string error;
    const auto png = EncodePng({rgba.width(), rgba.height(), withAlpha ? 6 : 2, 8, layout == TPngLayout::Interlaced, 9},
                               samples, &error);
    if (!png) {
        std::fprintf(stderr, "cannot encode %s: %s\n", path.toLocal8Bit().constData(), error.c_str());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(png->data()), static_cast<qint64>(png->size())) !=
            static_cast<qint64>(png->size())) {
        std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
        return false;
    }
    return true;
}

} // namespace horavia::tools
