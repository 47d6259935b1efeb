// Draws every picture of the program and writes them, with the resource list, under the given
// assets folder:
//   images/<collection>/<file>.png   the four image collections
//   images/Buttons/en/<file>.png     the English pictures of the buttons that carry words
//   shape.png                        the window outline
//   icons/horavia-<size>.png         the program icon
//   horavia_images.qrc               the Qt resource list of all of them
// Each picture but the program icon is also drawn at twice the size, as <name>@2x.png beside
// <name>.png, for screens of device pixel ratio 2. The icon is drawn at every size the program
// lists and at twice each size up to 32 px, so the small icons of dialogs, task bars and the tray
// have a drawing of their own at 2x; Qt's QIcon picks icon pictures by their size in pixels.

#include "display/ImageAssetTable.h"
#include "tools/draw_assets/Painting.h"
#include "tools/draw_assets/PngWriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace horavia;
using namespace horavia::tools;

namespace {

QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QImage Draw(std::string_view collection, std::string_view name, int width, int height, int scale,
            TLabelLanguage language) {
    if (collection == "Buttons") {
        return DrawButtonPicture(name, width, height, scale, language);
    }
    if (collection == "Digits") {
        return DrawDigitPicture(name, width, height, scale);
    }
    return DrawFramePicture(collection, name, width, height, scale);
}

// The file of a picture drawn at scale, from the path of its 1x file without ".png".
QString AtScale(const QString& stem, int scale) {
    return scale == 1 ? stem + QStringLiteral(".png") : stem + QStringLiteral("@%1x.png").arg(scale);
}

constexpr int KScales[] = {1, 2};

// Icons this size or smaller get a drawing at twice their size too.
constexpr int KLargestSmallIcon = 32;

std::vector<int> IconSizes() {
    std::vector<int> sizes(KProgramIconSizes.begin(), KProgramIconSizes.end());
    for (int size : KProgramIconSizes) {
        if (size <= KLargestSmallIcon) {
            sizes.push_back(2 * size);
        }
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <assets folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    QStringList files;
    bool ok = true;

    // Draws one picture at every scale into folder, checking its size.
    auto drawAll = [&](const TImageCollectionTable& table, const TImageAssetEntry& entry, const QString& folder,
                       TLabelLanguage language) {
        root.mkpath(folder);
        for (int scale : KScales) {
            const QImage image = Draw(table.Name, entry.Name, entry.Width, entry.Height, scale, language);
            if (image.width() != entry.Width * scale || image.height() != entry.Height * scale) {
                std::fprintf(stderr, "%s/%s: drawn at the wrong size at %dx\n", table.Name.data(), entry.Name.data(),
                             scale);
                ok = false;
                continue;
            }
            const QString file = AtScale(folder + QLatin1Char('/') + ToQString(entry.File), scale);
            const TPngLayout layout =
                IsInterlacedAsset(table.Name, entry.Name) ? TPngLayout::Interlaced : TPngLayout::Plain;
            ok = WritePng(image, root.filePath(file), entry.Kind == TPngKind::RGBA, layout) && ok;
            files << file;
        }
    };

    for (const TImageCollectionTable& table : KImageCollectionTables) {
        const QString folder = QStringLiteral("images/") + ToQString(table.Name);
        for (const TImageAssetEntry& entry : table.Entries) {
            drawAll(table, entry, folder, TLabelLanguage::Chinese);
        }
    }
    // The English set: only the pictures with words, under the same file names.
    const TImageCollectionTable buttons{"Buttons", KButtonsAssets};
    for (const TImageAssetEntry& entry : buttons.Entries) {
        if (HasWords(entry.Name)) {
            drawAll(buttons, entry, QStringLiteral("images/Buttons/en"), TLabelLanguage::English);
        }
    }

    for (int scale : KScales) {
        const QString file = AtScale(QStringLiteral("shape"), scale);
        ok = WritePng(DrawShapePicture(scale), root.filePath(file), false, TPngLayout::Plain) && ok;
        files << file;
    }

    root.mkpath(QStringLiteral("icons"));
    for (int size : IconSizes()) {
        const QString file = QStringLiteral("icons/horavia-%1.png").arg(size);
        ok = WritePng(DrawProgramIcon(size), root.filePath(file), true, TPngLayout::Plain) && ok;
        files << file;
    }

    QFile qrc(root.filePath(QStringLiteral("horavia_images.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write the resource list\n");
        return 1;
    }
    QTextStream out(&qrc);
    out << "<!-- Written by tools/draw_assets; run the horavia_assets target to redraw. -->\n"
        << "<RCC>\n    <qresource prefix=\"/horavia\">\n";
    for (const QString& file : files) {
        out << "        <file>" << file << "</file>\n";
    }
    out << "    </qresource>\n</RCC>\n";
    return ok ? 0 : 1;
}
