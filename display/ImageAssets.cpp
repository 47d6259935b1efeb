#include "display/ImageAssets.h"

#include "display/ImageAssetTable.h"
#include "display/ImageLog.h"
#include "display/PngDecoder.h"
#include "display/Surface.h"

#include <QFile>
#include <QImage>

#include <cmath>
#include <cstring>
#include <span>
#include <string>

// The resources live in a static library: referencing their initializer keeps the linker from
// dropping them, and Q_INIT_RESOURCE must be used outside any namespace.
static void InitImageResources() {
    Q_INIT_RESOURCE(horavia_images);
}

namespace horavia {
namespace {

QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void EnsureResources() {
    static const bool Done = [] {
        InitImageResources();
        return true;
    }();
    (void)Done;
}

// The LCD buttons carry their words in the picture, so each language has its own set of them.
bool IsWorded(const TImageCollectionTable& table, const TImageAssetEntry& entry) {
    return table.Name == "Buttons" && entry.File.starts_with("lcd_");
}

QString PicturePath(const TImageCollectionTable& table, const TImageAssetEntry& entry, bool english, bool twice) {
    return ToQString(KImageResourceRoot) + ToQString(table.Name) + QLatin1Char('/') +
           (english ? QStringLiteral("en/") : QString()) + ToQString(entry.File) +
           (twice ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
}

// What was put in place of a missing picture while one collection loaded: one log line for them all.
struct TStandIns {
    int OneForTwo = 0; // a 1x picture enlarged where the 2x one is missing
    int ChineseForEnglish = 0;
};

// The picture of one entry at the ratio, in the language's set: the nearest picture that exists, at the
// ratio's size.
std::optional<TPngImage> LoadEntry(const TImageCollectionTable& table, const TImageAssetEntry& entry, double ratio,
                                   bool english, TStandIns& standIns) {
    const bool twice = ratio != 1.0;
    // The paths to try, best first.
    QString candidates[4];
    int count = 0;
    if (english) {
        if (twice) {
            candidates[count++] = PicturePath(table, entry, true, true);
        }
        candidates[count++] = PicturePath(table, entry, true, false);
    }
    if (twice) {
        candidates[count++] = PicturePath(table, entry, false, true);
    }
    candidates[count++] = PicturePath(table, entry, false, false);
    int chosen = 0;
    while (chosen < count - 1 && !QFile::exists(candidates[chosen])) {
        ++chosen;
    }
    const QString& path = candidates[chosen];
    if (english && !path.contains(QLatin1String("/en/"))) {
        ++standIns.ChineseForEnglish;
    }
    if (twice && !path.endsWith(QLatin1String("@2x.png"))) {
        ++standIns.OneForTwo;
    }
    std::optional<TPngImage> image = LoadPngFile(path);
    if (!image) {
        return image;
    }
    const int scale = path.endsWith(QLatin1String("@2x.png")) ? 2 : 1;
    if (image->Width != entry.Width * scale || image->Height != entry.Height * scale || image->Kind != entry.Kind) {
        // Still usable; but the layout of the display counts on these sizes.
        qCWarning(lcImages).nospace() << "picture " << path << " is " << image->Width << "x" << image->Height
                                      << (image->Kind == TPngKind::RGBA ? " RGBA" : " RGB") << ", expected "
                                      << entry.Width * scale << "x" << entry.Height * scale
                                      << (entry.Kind == TPngKind::RGBA ? " RGBA" : " RGB");
    }
    if (twice) {
        const int width = DevicePixel(entry.Width, ratio);
        const int height = DevicePixel(entry.Height, ratio);
        if (image->Width != width || image->Height != height) {
            *image = ScalePicture(*image, width, height);
        }
        image->ShownWidth = entry.Width;
        image->ShownHeight = entry.Height;
    }
    return image;
}

TPngImageCollection LoadCollection(const TImageCollectionTable& table, double ratio, UiLanguage language) {
    TPngImageCollection collection;
    TStandIns standIns;
    for (const TImageAssetEntry& entry : table.Entries) {
        const bool english = language == UiLanguage::English && IsWorded(table, entry);
        std::optional<TPngImage> image = LoadEntry(table, entry, ratio, english, standIns);
        collection.Add(std::string(entry.Name), image ? std::move(*image) : TPngImage{});
    }
    if (standIns.OneForTwo > 0) {
        qCWarning(lcImages).nospace() << standIns.OneForTwo << " pictures of " << ToQString(table.Name)
                                      << " have no 2x version: their 1x pictures are enlarged";
    }
    if (standIns.ChineseForEnglish > 0) {
        qCWarning(lcImages).nospace() << standIns.ChineseForEnglish << " pictures of " << ToQString(table.Name)
                                      << " have no English version: the Chinese ones are shown";
    }
    return collection;
}

const TImageCollectionTable& Table(std::string_view name) {
    for (const TImageCollectionTable& table : KImageCollectionTables) {
        if (table.Name == name) {
            return table;
        }
    }
    return KImageCollectionTables.front(); // not reached: the names below are the table's own
}

} // namespace

std::optional<TPngImage> LoadPngFile(const QString& path) {
    EnsureResources();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcImages) << "cannot read picture" << path << ":" << file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    std::string error;
    std::optional<TPngImage> image = DecodePng(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())),
        &error);
    if (!image) {
        qCWarning(lcImages) << "cannot decode picture" << path << ":" << error.c_str();
    }
    return image;
}

TImageCollections LoadImageCollections(double ratio, UiLanguage language) {
    EnsureResources();
    TImageCollections c;
    c.Buttons = LoadCollection(Table("Buttons"), ratio, language);
    c.Digits = LoadCollection(Table("Digits"), ratio, language);
    c.MainBox = LoadCollection(Table("MainBox"), ratio, language);
    c.LCDBox = LoadCollection(Table("LCDBox"), ratio, language);
    return c;
}

TPngImage LoadShapePicture(double ratio) {
    EnsureResources();
    const QString path = ToQString(KShapeResourcePath);
    if (ratio == 1.0) {
        std::optional<TPngImage> image = LoadPngFile(path);
        return image ? std::move(*image) : TPngImage{};
    }
    QString twice = path;
    twice.replace(QLatin1String(".png"), QLatin1String("@2x.png"));
    std::optional<TPngImage> image = LoadPngFile(QFile::exists(twice) ? twice : path);
    if (!image || image->Empty()) {
        return {};
    }
    const int base = QFile::exists(twice) ? 2 : 1;
    const int width = static_cast<int>(std::lround(image->Width * ratio / base));
    const int height = static_cast<int>(std::lround(image->Height * ratio / base));
    if (image->Width != width || image->Height != height) {
        *image = ScalePicture(*image, width, height);
        // Scaling greys the outline's edge; a window is either there or not, so each pixel goes to the
        // side it is nearer.
        for (std::size_t i = 0; i + 3 < image->Pixels.size(); i += 4) {
            const std::uint8_t v = image->Pixels[i] < 128 ? 0 : 255;
            image->Pixels[i] = image->Pixels[i + 1] = image->Pixels[i + 2] = v;
            image->Pixels[i + 3] = 255;
        }
    }
    return std::move(*image);
}

TPngImage ScalePicture(const TPngImage& picture, int width, int height) {
    if (picture.Empty() || width <= 0 || height <= 0 ||
        picture.Pixels.size() < static_cast<std::size_t>(picture.Width) * picture.Height * 4) {
        return {};
    }
    const QImage source(picture.Pixels.data(), picture.Width, picture.Height, picture.Width * 4,
                        QImage::Format_RGBA8888);
    // Averaged with premultiplied alpha, a transparent pixel's colour weighs nothing.
    const QImage scaled = source.convertToFormat(QImage::Format_RGBA8888_Premultiplied)
                              .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGBA8888);
    TPngImage result;
    result.Width = width;
    result.Height = height;
    result.Kind = picture.Kind;
    result.Pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        std::memcpy(result.Pixels.data() + static_cast<std::size_t>(y) * width * 4, scaled.constScanLine(y),
                    static_cast<std::size_t>(width) * 4);
    }
    if (picture.Kind == TPngKind::RGB) {
        for (std::size_t i = 3; i < result.Pixels.size(); i += 4) {
            result.Pixels[i] = 255;
        }
    }
    return result;
}

QString ProgramIconPath(int size) {
    return ToQString(KIconResourcePrefix) + QString::number(size) + QStringLiteral(".png");
}

QIcon LoadProgramIcon() {
    EnsureResources();
    QIcon icon;
    for (int size : KProgramIconSizes) {
        icon.addFile(ProgramIconPath(size), QSize(size, size));
    }
    return icon;
}

} // namespace horavia
