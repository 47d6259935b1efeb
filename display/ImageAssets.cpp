#include "display/ImageAssets.h"

#include "display/ImageAssetTable.h"
#include "display/ImageLog.h"
#include "display/PngDecoder.h"

#include <QFile>

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

TPngImageCollection LoadCollection(const TImageCollectionTable& table) {
    TPngImageCollection collection;
    for (const TImageAssetEntry& entry : table.Entries) {
        const QString path = ToQString(KImageResourceRoot) + ToQString(table.Name) + QLatin1Char('/') +
                             ToQString(entry.File) + QStringLiteral(".png");
        std::optional<TPngImage> image = LoadPngFile(path);
        if (image && (image->Width != entry.Width || image->Height != entry.Height || image->Kind != entry.Kind)) {
            // Still usable; but the layout of the display counts on these sizes.
            qCWarning(lcImages).nospace()
                << "picture " << path << " is " << image->Width << "x" << image->Height
                << (image->Kind == TPngKind::RGBA ? " RGBA" : " RGB") << ", expected " << entry.Width << "x"
                << entry.Height << (entry.Kind == TPngKind::RGBA ? " RGBA" : " RGB");
        }
        collection.Add(std::string(entry.Name), image ? std::move(*image) : TPngImage{});
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

TImageCollections LoadImageCollections() {
    TImageCollections c;
    c.Buttons = LoadCollection(Table("Buttons"));
    c.Digits = LoadCollection(Table("Digits"));
    c.MainBox = LoadCollection(Table("MainBox"));
    c.LCDBox = LoadCollection(Table("LCDBox"));
    return c;
}

TPngImage LoadShapePicture() {
    std::optional<TPngImage> image = LoadPngFile(ToQString(KShapeResourcePath));
    return image ? std::move(*image) : TPngImage{};
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
