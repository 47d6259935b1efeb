#include "display/ImageAssets.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace horavia {
namespace {

// The expected collections, written out here independently of the program's own table.
struct Expected {
    const char* Name;
    int Width;
    int Height;
    TPngKind Kind;
};
constexpr TPngKind A = TPngKind::RGBA;
constexpr TPngKind C = TPngKind::RGB;

const std::vector<Expected> KButtons = {
    {"timer_norm_48", 48, 48, A},     {"chrono_norm_48", 48, 48, A},  {"clock_norm_48", 48, 48, A},
    {"settings_norm_48", 48, 48, A},  {"min_norm", 15, 15, A},        {"min_hover", 15, 15, A},
    {"close_norm", 15, 15, A},        {"close_hover", 15, 15, A},     {"timer_hover_48", 48, 48, A},
    {"chrono_hover_48", 48, 48, A},   {"clock_hover_48", 48, 48, A},  {"settings_hover_48", 48, 48, A},
    {"splitter_norm", 100, 6, A},     {"splitter_hover", 100, 6, A},  {"splitter_dn", 100, 6, A},
    {"splitter_dn_hover", 100, 6, A}, {"lcd_cancel", 55, 12, A},      {"lcd_cancel_hover", 55, 12, A},
    {"lcd_start", 55, 12, A},         {"lcd_start_hover", 55, 12, A}, {"lcd_pause", 55, 12, A},
    {"lcd_pause_hover", 55, 12, A},   {"lcd_reset", 55, 12, A},       {"lcd_reset_hover", 55, 12, A},
    {"lcd_stop", 55, 12, A},          {"lcd_stop_hover", 55, 12, A},
};

std::vector<Expected> DigitsTable() {
    static const char* const Large[] = {"large_0", "large_1", "large_2", "large_3", "large_4",
                                        "large_5", "large_6", "large_7", "large_8", "large_9"};
    static const char* const Small[] = {"small_0", "small_1", "small_2", "small_3", "small_4",
                                        "small_5", "small_6", "small_7", "small_8", "small_9"};
    std::vector<Expected> t;
    for (const char* n : Large) {
        t.push_back({n, 36, 48, A});
    }
    for (const char* n : Small) {
        t.push_back({n, 18, 24, A});
    }
    t.push_back({"large_:", 36, 48, A});
    t.push_back({"small_/", 18, 24, A});
    t.push_back({"large_am", 36, 48, A});
    t.push_back({"large_pm", 36, 48, A});
    return t;
}

const std::vector<Expected> KMainBox = {{"left_top", 6, 6, A},    {"right_top", 6, 6, A}, {"right_bottom", 5, 5, A},
                                        {"left_bottom", 5, 5, A}, {"left", 2, 1, C},      {"top", 1, 2, C},
                                        {"right", 2, 1, C},       {"bottom", 1, 2, C}};
const std::vector<Expected> KLcdBox = {{"left_top", 6, 6, A},    {"right_top", 6, 6, A}, {"right_bottom", 6, 6, A},
                                       {"left_bottom", 6, 6, A}, {"left", 2, 1, C},      {"top", 1, 2, C},
                                       {"right", 2, 1, C},       {"bottom", 1, 2, C}};

void ExpectCollection(const TPngImageCollection& c, const std::vector<Expected>& table, const char* what) {
    ASSERT_EQ(c.Count(), static_cast<int>(table.size())) << what;
    for (int i = 0; i < c.Count(); ++i) {
        const Expected& e = table[static_cast<std::size_t>(i)];
        EXPECT_EQ(c.Name(i), e.Name) << what << " #" << i;
        const TPngImage& p = c.Item(i);
        EXPECT_EQ(p.Width, e.Width) << what << " " << e.Name;
        EXPECT_EQ(p.Height, e.Height) << what << " " << e.Name;
        EXPECT_EQ(p.Kind, e.Kind) << what << " " << e.Name;
        EXPECT_EQ(p.Pixels.size(), static_cast<std::size_t>(e.Width * e.Height * 4)) << what << " " << e.Name;
    }
}

class ImageAssets : public ::testing::Test {
protected:
    static void SetUpTestSuite() { images_ = new TImageCollections(LoadImageCollections()); }
    static void TearDownTestSuite() {
        delete images_;
        images_ = nullptr;
    }
    static const TImageCollections& Images() { return *images_; }

private:
    static TImageCollections* images_;
};
TImageCollections* ImageAssets::images_ = nullptr;

TEST_F(ImageAssets, CollectionsHoldEveryPictureInOrder) {
    ExpectCollection(Images().Buttons, KButtons, "Buttons");
    ExpectCollection(Images().Digits, DigitsTable(), "Digits");
    ExpectCollection(Images().MainBox, KMainBox, "MainBox");
    ExpectCollection(Images().LCDBox, KLcdBox, "LCDBox");
}

TEST_F(ImageAssets, ButtonNamesResolveExactly) {
    EXPECT_EQ(Images().Buttons.IndexOf("lcd_start"), 18);
    EXPECT_EQ(Images().Buttons.IndexOf("LCD_START"), -1);
    EXPECT_EQ(Images().Buttons.IndexOf("splitter_dn_hover"), 15);
}

QByteArray ResourceBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(ImageAssets, SomeFrameCornersAreStoredInterlaced) {
    (void)Images(); // the resources are registered by the first load
    for (const char* box : {"MainBox", "LCDBox"}) {
        for (const char* corner : {"left_top", "right_top", "right_bottom", "left_bottom"}) {
            const QByteArray bytes = ResourceBytes(QStringLiteral(":/horavia/images/%1/%2.png").arg(box, corner));
            ASSERT_GT(bytes.size(), 28) << box << " " << corner;
            const bool interlaced = std::string(corner) == "left_top" || std::string(corner) == "right_bottom";
            EXPECT_EQ(bytes[28], interlaced ? 1 : 0) << box << " " << corner; // IHDR interlace method
        }
    }
}

// Pixels of the window outline that lie inside the window: rows 0 and 249 from 4 to 395, rows 1
// and 248 from 2 to 397, rows 2, 3, 246 and 247 from 1 to 398, all others full.
bool InsideOutline(int x, int y) {
    int from = 0;
    if (y == 0 || y == 249) {
        from = 4;
    } else if (y == 1 || y == 248) {
        from = 2;
    } else if (y == 2 || y == 3 || y == 246 || y == 247) {
        from = 1;
    }
    return x >= from && x <= 399 - from;
}

TEST(ShapePicture, MatchesTheWindowOutlineExactly) {
    const TPngImage shape = LoadShapePicture();
    ASSERT_EQ(shape.Width, 400);
    ASSERT_EQ(shape.Height, 250);
    EXPECT_EQ(shape.Kind, TPngKind::RGB);
    int mismatches = 0;
    for (int y = 0; y < 250; ++y) {
        for (int x = 0; x < 400; ++x) {
            const std::uint8_t* p = shape.Pixel(x, y);
            const std::uint8_t want = InsideOutline(x, y) ? 0 : 255;
            if (p[0] != want || p[1] != want || p[2] != want || p[3] != 255) {
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(ImageAssets, WindowCornersAreClearOutsideTheOutlineAndDarkOnIt) {
    const TPngImage& leftTop = Images().MainBox.Item(0);
    const TPngImage& rightTop = Images().MainBox.Item(1);
    const TPngImage& edge = Images().MainBox.Item(4); // "left": outer, inner
    const std::uint8_t* outer = edge.Pixel(0, 0);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = InsideOutline(x, y);
            if (!inside) {
                EXPECT_EQ(leftTop.Pixel(x, y)[3], 0) << x << "," << y;
            }
            if (!InsideOutline(394 + x, y)) {
                EXPECT_EQ(rightTop.Pixel(x, y)[3], 0) << x << "," << y;
            }
            // The first pixel inside the outline in each row carries the outer line colour, opaque.
            if (inside && !InsideOutline(x - 1, y)) {
                EXPECT_EQ(leftTop.Pixel(x, y)[3], 255) << x << "," << y;
                EXPECT_EQ(leftTop.Pixel(x, y)[0], outer[0]) << x << "," << y;
                EXPECT_EQ(rightTop.Pixel(5 - x, y)[3], 255) << x << "," << y;
            }
        }
    }
}

TEST_F(ImageAssets, EdgeSlicesAreTwoToneOuterDarker) {
    for (const TPngImageCollection* box : {&Images().MainBox, &Images().LCDBox}) {
        const std::uint8_t* left = box->Item(4).Pixels.data();
        const std::uint8_t* top = box->Item(5).Pixels.data();
        const std::uint8_t* right = box->Item(6).Pixels.data();
        const std::uint8_t* bottom = box->Item(7).Pixels.data();
        // left and top: outer then inner; right and bottom: inner then outer.
        EXPECT_LT(left[0], left[4]);
        EXPECT_EQ(std::vector<std::uint8_t>(left, left + 8), std::vector<std::uint8_t>(top, top + 8));
        EXPECT_EQ(std::vector<std::uint8_t>(right, right + 4), std::vector<std::uint8_t>(left + 4, left + 8));
        EXPECT_EQ(std::vector<std::uint8_t>(right + 4, right + 8), std::vector<std::uint8_t>(left, left + 4));
        EXPECT_EQ(std::vector<std::uint8_t>(bottom, bottom + 8), std::vector<std::uint8_t>(right, right + 8));
    }
}

// Sum of alpha in the rows [from, to) of a picture.
long Ink(const TPngImage& p, int from, int to) {
    long sum = 0;
    for (int y = from; y < to; ++y) {
        for (int x = 0; x < p.Width; ++x) {
            sum += p.Pixel(x, y)[3];
        }
    }
    return sum;
}

TEST_F(ImageAssets, AmMarksTheUpperHalfAndPmTheLowerHalf) {
    const TPngImage& am = Images().Digits.Item(22);
    const TPngImage& pm = Images().Digits.Item(23);
    EXPECT_GT(Ink(am, 0, 24), 0);
    EXPECT_EQ(Ink(am, 24, 48), 0);
    EXPECT_EQ(Ink(pm, 0, 24), 0);
    EXPECT_GT(Ink(pm, 24, 48), 0);
}

TEST_F(ImageAssets, GlyphsShowTheirSegments) {
    const auto& d = Images().Digits;
    // An 8 lights all seven segments, a 1 only two; the same holds for the small set.
    EXPECT_GT(Ink(d.Item(8), 0, 48), 2 * Ink(d.Item(1), 0, 48));
    EXPECT_GT(Ink(d.Item(18), 0, 24), 2 * Ink(d.Item(11), 0, 24));
    for (int i = 0; i < d.Count(); ++i) {
        const TPngImage& p = d.Item(i);
        EXPECT_GT(Ink(p, 0, p.Height), 0) << d.Name(i);
        // A transparent ground: the corners of every cell are clear.
        EXPECT_EQ(p.Pixel(0, 0)[3], 0) << d.Name(i);
        EXPECT_EQ(p.Pixel(p.Width - 1, p.Height - 1)[3], 0) << d.Name(i);
    }
}

// Mean colour of the clearly drawn pixels of a picture.
struct Mean {
    double R = 0, G = 0, B = 0;
};
Mean InkColour(const TPngImage& p) {
    Mean m;
    int n = 0;
    for (int y = 0; y < p.Height; ++y) {
        for (int x = 0; x < p.Width; ++x) {
            const std::uint8_t* px = p.Pixel(x, y);
            if (px[3] > 200) {
                m.R += px[0];
                m.G += px[1];
                m.B += px[2];
                ++n;
            }
        }
    }
    if (n > 0) {
        m.R /= n;
        m.G /= n;
        m.B /= n;
    }
    return m;
}

TEST_F(ImageAssets, LcdButtonsAreDarkGreyAndBlueWhenHovered) {
    for (const char* name : {"lcd_cancel", "lcd_start", "lcd_pause", "lcd_reset", "lcd_stop"}) {
        const Mean normal = InkColour(Images().Buttons.Item(Images().Buttons.IndexOf(name)));
        const Mean hover = InkColour(Images().Buttons.Item(Images().Buttons.IndexOf(std::string(name) + "_hover")));
        EXPECT_LT(normal.R, 100) << name;
        EXPECT_LT(std::abs(normal.B - normal.R), 20) << name;
        EXPECT_GT(hover.B, hover.R + 100) << name;
    }
}

TEST_F(ImageAssets, PauseIsItsOwnPicture) {
    const auto& b = Images().Buttons;
    EXPECT_NE(b.Item(b.IndexOf("lcd_pause")).Pixels, b.Item(b.IndexOf("lcd_start_hover")).Pixels);
    EXPECT_NE(b.Item(b.IndexOf("lcd_pause")).Pixels, b.Item(b.IndexOf("lcd_start")).Pixels);
    EXPECT_NE(b.Item(b.IndexOf("lcd_pause_hover")).Pixels, b.Item(b.IndexOf("lcd_start_hover")).Pixels);
}

// On a 150 % screen each picture has the device pixels of its 1x size at that ratio and still covers its
// 1x size on the display; the LCD buttons of the English interface carry other words than the Chinese.
TEST(PictureSets, ScaledToTheRatioAndWordedInTheLanguage) {
    const TImageCollections chinese = LoadImageCollections(1.5, UiLanguage::Chinese);
    const TImageCollections english = LoadImageCollections(1.5, UiLanguage::English);
    const TPngImage& glyph = chinese.Digits.Item(8);
    EXPECT_EQ(glyph.Width, 54);
    EXPECT_EQ(glyph.Height, 72);
    EXPECT_EQ(glyph.LogicalWidth(), 36);
    EXPECT_EQ(glyph.LogicalHeight(), 48);
    const TPngImage& start = chinese.Buttons.Item(chinese.Buttons.IndexOf("lcd_start"));
    const TPngImage& startEn = english.Buttons.Item(english.Buttons.IndexOf("lcd_start"));
    EXPECT_EQ(startEn.Width, start.Width);
    EXPECT_NE(startEn.Pixels, start.Pixels);
    // Only the worded pictures differ.
    EXPECT_EQ(english.Buttons.Item(0).Pixels, chinese.Buttons.Item(0).Pixels);
    // The outline at 150 %: black and white only, its top-left pixel outside and its middle inside.
    const TPngImage shape = LoadShapePicture(1.5);
    ASSERT_EQ(shape.Width, 600);
    ASSERT_EQ(shape.Height, 375);
    EXPECT_EQ(shape.Pixel(0, 0)[0], 255);
    EXPECT_EQ(shape.Pixel(300, 0)[0], 0);
}

TEST(ProgramIcon, EverySizeIsBuiltIn) {
    for (int size : {16, 22, 24, 32, 44, 48, 64, 128, 256}) {
        const auto icon = LoadPngFile(ProgramIconPath(size));
        ASSERT_TRUE(icon) << size;
        EXPECT_EQ(icon->Width, size);
        EXPECT_EQ(icon->Height, size);
        EXPECT_EQ(icon->Kind, TPngKind::RGBA);
    }
}

// Every built-in picture has its 2x drawing beside it, at exactly twice its size, and every English
// picture stands in for the Chinese one of the same name: same size, other words.
TEST(PictureSets, TwiceTheSizeAtTwoXAndTheSameSizeInEnglish) {
    const QString root = QStringLiteral(":/horavia/");
    const QString english = root + QStringLiteral("images/Buttons/en/");
    ASSERT_TRUE(LoadPngFile(english + QStringLiteral("lcd_start.png"))); // also registers the resources
    QDirIterator it(root, {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.startsWith(root + QStringLiteral("icons/")) || path.endsWith(QStringLiteral("@2x.png"))) {
            continue; // the icon has a list of sizes instead
        }
        const auto one = LoadPngFile(path);
        const auto two = LoadPngFile(path.chopped(4) + QStringLiteral("@2x.png"));
        ASSERT_TRUE(one && two) << path.toStdString();
        EXPECT_EQ(two->Width, 2 * one->Width) << path.toStdString();
        EXPECT_EQ(two->Height, 2 * one->Height) << path.toStdString();
        EXPECT_EQ(two->Kind, one->Kind) << path.toStdString();
        if (path.startsWith(english)) {
            const QString chinesePath = root + QStringLiteral("images/Buttons/") + path.mid(english.size());
            const auto chinese = LoadPngFile(chinesePath);
            ASSERT_TRUE(chinese) << chinesePath.toStdString();
            EXPECT_EQ(one->Width, chinese->Width) << path.toStdString();
            EXPECT_EQ(one->Height, chinese->Height) << path.toStdString();
            EXPECT_NE(one->Pixels, chinese->Pixels) << path.toStdString();
        }
    }
}

// Collects what the program logs, for the duration of one test.
class LogCapture {
public:
    LogCapture() { previous_ = qInstallMessageHandler(&LogCapture::Handle); }
    ~LogCapture() { qInstallMessageHandler(previous_); }
    static std::vector<std::pair<std::string, QtMsgType>>& Lines() {
        static std::vector<std::pair<std::string, QtMsgType>> lines;
        return lines;
    }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        Lines().emplace_back(std::string(context.category ? context.category : "") + ": " + message.toStdString(),
                             type);
    }
    QtMessageHandler previous_ = nullptr;
};

TEST(LoadPngFile, ABrokenFileIsLoggedAndGivesNoPicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("broken.png"));
    {
        // A real picture cut in half.
        QByteArray bytes = ResourceBytes(QStringLiteral(":/horavia/images/Digits/large_8.png"));
        ASSERT_GT(bytes.size(), 100);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.left(bytes.size() / 2));
    }
    LogCapture::Lines().clear();
    LogCapture capture;
    EXPECT_FALSE(LoadPngFile(path));
    EXPECT_FALSE(LoadPngFile(dir.filePath(QStringLiteral("missing.png"))));
    ASSERT_EQ(LogCapture::Lines().size(), 2u);
    for (const auto& [line, type] : LogCapture::Lines()) {
        EXPECT_EQ(type, QtWarningMsg);
        EXPECT_EQ(line.rfind("horavia.display.images: ", 0), 0u) << line;
    }
    EXPECT_NE(LogCapture::Lines()[0].first.find("broken.png"), std::string::npos);
}

} // namespace
} // namespace horavia
