// Draws every picture of the program and writes them, with the resource list, under the given
// assets folder:
//   images/<collection>/<file>.png   the four image collections
//   shape.png                        the window outline
//   icons/horavia-<size>.png         the program icon
//   horavia_images.qrc               the Qt resource list of all of them

#include "display/ImageAssetTable.h"
#include "tools/draw_assets/Painting.h"
#include "tools/draw_assets/PngWriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

using namespace horavia;
using namespace horavia::tools;

namespace {

QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QImage Draw(std::string_view collection, std::string_view name, int width, int height) {
    if (collection == "Buttons") {
        return DrawButtonPicture(name, width, height);
    }
    if (collection == "Digits") {
        return DrawDigitPicture(name, width, height);
    }
    return DrawFramePicture(collection, name, width, height);
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

    for (const TImageCollectionTable& table : KImageCollectionTables) {
        const QString folder = QStringLiteral("images/") + ToQString(table.Name);
        root.mkpath(folder);
        for (const TImageAssetEntry& entry : table.Entries) {
            const QImage image = Draw(table.Name, entry.Name, entry.Width, entry.Height);
            if (image.width() != entry.Width || image.height() != entry.Height) {
                std::fprintf(stderr, "%s/%s: drawn at the wrong size\n", table.Name.data(), entry.Name.data());
                ok = false;
                continue;
            }
            const QString file = folder + QLatin1Char('/') + ToQString(entry.File) + QStringLiteral(".png");
            const TPngLayout layout =
                IsInterlacedAsset(table.Name, entry.Name) ? TPngLayout::Interlaced : TPngLayout::Plain;
            ok = WritePng(image, root.filePath(file), entry.Kind == TPngKind::RGBA, layout) && ok;
            files << file;
        }
    }

    ok = WritePng(DrawShapePicture(), root.filePath(QStringLiteral("shape.png")), false, TPngLayout::Plain) && ok;
    files << QStringLiteral("shape.png");

    root.mkpath(QStringLiteral("icons"));
    for (int size : KProgramIconSizes) {
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
