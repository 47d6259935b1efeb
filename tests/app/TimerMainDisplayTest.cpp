#include "display/GlyphIndex.h"
#include "display/ImageAssets.h"
#include "display/ImageDraw.h"
#include "support/GuiTestMain.h"
#include "support/WindowFixture.h"
#include "texts/UiLanguage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <algorithm>

namespace horavia {
namespace {

// The composed window, checked pixel by pixel against the pictures it is made of.
class TimerMainDisplayTest : public test::WindowTest {
protected:
    TimerMainDisplayTest() : WindowTest({2026, 12, 7, 10, 5, 7, 0}) {}

    void SetUp() override {
        WindowTest::SetUp();
        window->Timer1Timer(); // the first tick composes everything
    }

    Rgb8 At(int x, int y) const { return window->DXDraw.Canvas().Pixel(x, y); }

    // The LCD interior as it must look with these glyphs at these places: the clean ground with
    // each glyph blended on it once.
    Bitmap ExpectedLcd(const std::string& text, bool large, int firstX, int y, int advance) const {
        const TRect inner = window->Composer().LcdInner();
        Bitmap lcd = window->Composer().LcdBackground();
        int x = firstX;
        for (const char c : text) {
            Draw(window->Images.Digits.Item(GlyphIndex(c, large)), lcd, x - inner.Left, y - inner.Top);
            x += advance;
        }
        return lcd;
    }

    // Whether the glyph cells of text on the surface match the expectation exactly.
    void ExpectGlyphs(const std::string& text, bool large, int firstX, int y) const {
        const int advance = large ? 36 : 18;
        const int h = large ? 48 : 24;
        const Bitmap expected = ExpectedLcd(text, large, firstX, y, advance);
        const TRect inner = window->Composer().LcdInner();
        int mismatches = 0;
        for (int yy = y; yy < y + h; ++yy) {
            const int from = std::max(firstX, inner.Left); // a glyph grown past the box is clipped here
            for (int xx = from; xx < firstX + advance * static_cast<int>(text.size()); ++xx) {
                if (!(At(xx, yy) == expected.Pixel(xx - inner.Left, yy - inner.Top))) {
                    ++mismatches;
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << text << " at x " << firstX << ", y " << y;
    }
};

TEST_F(TimerMainDisplayTest, WindowGradientRoundsHalvesToEven) {
    EXPECT_EQ(At(10, 3), (Rgb8{224, 224, 224}));
    EXPECT_EQ(At(10, 70), (Rgb8{207, 206, 206})); // 74 * 70 / 280 = 18.5 -> 18
    EXPECT_EQ(At(10, 274), (Rgb8{153, 151, 152}));
    EXPECT_EQ(GradientChannel(225, 151, 70, 280), 207);
    EXPECT_EQ(GradientChannel(225, 151, 279, 280), 151); // 73.74 -> 74: the bottom row nearly reaches it
}

TEST_F(TimerMainDisplayTest, FramePiecesSitAtTheirPlaces) {
    const TPngImageCollection& main = window->Images.MainBox;
    const auto slice = [](const TPngImage& img, int x, int y) {
        const std::uint8_t* p = img.Pixel(x, y);
        return Rgb8{p[0], p[1], p[2]};
    };
    // Edges: left (outer, inner), top (outer over inner), right (inner, outer).
    EXPECT_EQ(At(0, 120), slice(main.Item(4), 0, 0));
    EXPECT_EQ(At(1, 120), slice(main.Item(4), 1, 0));
    EXPECT_EQ(At(200, 0), slice(main.Item(5), 0, 0));
    EXPECT_EQ(At(200, 1), slice(main.Item(5), 0, 1));
    EXPECT_EQ(At(398, 120), slice(main.Item(6), 0, 0));
    EXPECT_EQ(At(399, 120), slice(main.Item(6), 1, 0));
    EXPECT_EQ(At(200, 278), slice(main.Item(7), 0, 0));
    EXPECT_EQ(At(200, 279), slice(main.Item(7), 0, 1));
    // The LCD box frame with the tab row shown: L 16, T 103, R 384, B 237.
    const TPngImageCollection& lcd = window->Images.LCDBox;
    EXPECT_EQ(At(16, 170), slice(lcd.Item(4), 0, 0));
    EXPECT_EQ(At(17, 170), slice(lcd.Item(4), 1, 0));
    EXPECT_EQ(At(200, 103), slice(lcd.Item(5), 0, 0));
    EXPECT_EQ(At(383, 170), slice(lcd.Item(6), 1, 0));
    EXPECT_EQ(At(200, 236), slice(lcd.Item(7), 0, 1));
}

TEST_F(TimerMainDisplayTest, LcdGroundIsItsOwnGradientInBothPlaces) {
    const TRect inner = window->Composer().LcdInner();
    EXPECT_EQ(inner, (TRect{18, 105, 382, 235}));
    EXPECT_EQ(At(25, 105), (Rgb8{254, 255, 232}));
    EXPECT_EQ(window->Composer().LcdBackground().Width(), 364);
    EXPECT_EQ(window->Composer().LcdBackground().Height(), 130);
    const Rgb8 row65{GradientChannel(254, 214, 65, 130), GradientChannel(255, 219, 65, 130),
                     GradientChannel(232, 191, 65, 130)};
    EXPECT_EQ(At(25, 105 + 65), row65);
    Click(Buttons().btnSplitter.get());
    EXPECT_EQ(window->Composer().LcdInner(), (TRect{18, 75, 382, 205}));
    EXPECT_EQ(At(25, 75 + 65), row65);
    EXPECT_EQ(At(25, 75), (Rgb8{254, 255, 232}));
}

TEST_F(TimerMainDisplayTest, ClockGlyphOrigins) {
    ExpectGlyphs("10:05:07A", true, 38, 165);
    ExpectGlyphs("07/12", false, 272, 123);
    window->Engine.DisplayFormat.LongTimeFormat = "h:mm:ss";
    clock.Set({2026, 12, 7, 22, 5, 7, 0});
    window->DrawDisplay();
    ExpectGlyphs("22:05:07", true, 74, 165);
}

TEST_F(TimerMainDisplayTest, CountdownGlyphOriginsAndThreeHourDigits) {
    StartCountdown(12, 34);
    clock.AdvanceMs(-10); // the end is 12:34.01 away: hundredths 01
    window->DrawDisplay();
    ExpectGlyphs("00:12:34", true, 38, 165);
    ExpectGlyphs("01", false, 326, 165);
    window->Engine.EndTime = AddSeconds(clock.Now(), 100 * 3600);
    window->DrawDisplay();
    ExpectGlyphs("100:00:00", true, 2, 165);
}

TEST_F(TimerMainDisplayTest, StopwatchGlyphsMoveWithTheBox) {
    Click(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnSplitter.get());
    ExpectGlyphs("00:00:00", true, 38, 135);
    ExpectGlyphs("00", false, 326, 135);
}

TEST_F(TimerMainDisplayTest, LcdButtonsSurviveTheTick) {
    Click(Buttons().btnStopwatchTab.get());
    const TRect cancel = Buttons().btnLcdCancel->BoundsRect;
    Bitmap before;
    window->DXDraw.CopyRect({cancel.Left, cancel.Top, Buttons().btnLcdReset->BoundsRect.Right, cancel.Bottom}, before);
    window->Timer1Timer();
    Bitmap after;
    window->DXDraw.CopyRect({cancel.Left, cancel.Top, Buttons().btnLcdReset->BoundsRect.Right, cancel.Bottom}, after);
    int differing = 0;
    for (int y = 0; y < before.Height(); ++y) {
        for (int x = 0; x < before.Width(); ++x) {
            differing += before.Pixel(x, y) == after.Pixel(x, y) ? 0 : 1;
        }
    }
    EXPECT_EQ(differing, 0);
    // and the start picture is really there: not just the LCD ground
    EXPECT_FALSE(
        after.Pixel(3, 6) == window->Composer().LcdBackground().Pixel(cancel.Left - 18 + 3, cancel.Top - 105 + 6) &&
        after.Pixel(30, 6) == window->Composer().LcdBackground().Pixel(cancel.Left - 18 + 30, cancel.Top - 105 + 6));
}

TEST_F(TimerMainDisplayTest, HoverRedrawsOnlyTheTwoTabs) {
    window->DXDrawMouseMove(240, 50); // over the clock tab
    const long before = window->DXDraw.PresentCount();
    window->DXDrawMouseMove(330, 50); // to the settings tab
    EXPECT_EQ(window->DXDraw.PresentCount() - before, 2);
    EXPECT_FALSE(Buttons().btnClockTab->Hovered);
    EXPECT_TRUE(Buttons().btnSettingsTab->Hovered);
    // The caption appears under the hovered icon: dark text pixels in the caption band.
    int dark = 0;
    for (int y = 29 + 48 + 2; y < 93; ++y) {
        for (int x = 291; x < 383; ++x) {
            const Rgb8 p = At(x, y);
            dark += (p.r < 100 && p.g < 100 && p.b < 100) ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 5);
}

// The LCD buttons carry their words in their pictures: switching the interface's language shows the other set
// at once, each picture on the ground the button saved.
TEST_F(TimerMainDisplayTest, LanguageSwitchRedrawsTheWordedButtonsAtOnce) {
    const UiLanguage before = CurrentUiLanguage();
    const auto switchTo = [this](UiLanguage language) {
        SetCurrentUiLanguage(language); // what installing the translators does, before Qt sends the event
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(window.get(), &change);
    };
    switchTo(UiLanguage::Chinese);
    Click(Buttons().btnStopwatchTab.get());
    TDxLCDButton* start = Buttons().btnLcdStartPause.get();
    ASSERT_FALSE(start->Hovered);
    Bitmap chinese;
    window->DXDraw.CopyRect(start->BoundsRect, chinese);

    switchTo(UiLanguage::English);
    Bitmap english;
    window->DXDraw.CopyRect(start->BoundsRect, english);
    SetCurrentUiLanguage(before);

    const TImageCollections englishSet = LoadImageCollections(1.0, UiLanguage::English);
    Bitmap expected = *start->SavedBackground;
    Draw(englishSet.Buttons.Item(englishSet.Buttons.IndexOf("lcd_start")), expected, 0, 0);
    int differing = 0;
    int mismatches = 0;
    for (int y = 0; y < english.Height(); ++y) {
        for (int x = 0; x < english.Width(); ++x) {
            differing += english.Pixel(x, y) == chinese.Pixel(x, y) ? 0 : 1;
            mismatches += english.Pixel(x, y) == expected.Pixel(x, y) ? 0 : 1;
        }
    }
    EXPECT_GT(differing, 20);
    EXPECT_EQ(mismatches, 0);
}

// The window is handed only the pixels a tick changed: nothing for a clock tick within the same second, the last
// digit's cell for the next second; and what it shows is the surface, pixel for pixel.
TEST_F(TimerMainDisplayTest, TickHandsTheWindowOnlyWhatChanged) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const auto screenShowsSurface = [this] {
        const QImage screen =
            window->screen()->grabWindow(window->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const Bitmap& canvas = window->DXDraw.Canvas();
        if (screen.width() != canvas.Width() || screen.height() != canvas.Height()) {
            return false;
        }
        for (int y = 0; y < canvas.Height(); ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(screen.constScanLine(y));
            if (!std::equal(row, row + canvas.Width(), canvas.Row(y))) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(QTest::qWaitFor(screenShowsSurface, 5000));

    window->Timer1Timer();
    EXPECT_TRUE(window->DXDraw.LastPresented().empty());

    clock.AdvanceSeconds(1); // 10:05:07 to 10:05:08
    window->Timer1Timer();
    ASSERT_EQ(window->DXDraw.LastPresented().size(), 1U);
    const TRect changed = window->DXDraw.LastPresented()[0];
    const int lastDigit = 38 + 7 * 36;
    EXPECT_GE(changed.Left, lastDigit);
    EXPECT_LE(changed.Right, lastDigit + 36);
    EXPECT_GE(changed.Top, 165);
    EXPECT_LE(changed.Bottom, 165 + 48);
    EXPECT_TRUE(QTest::qWaitFor(screenShowsSurface, 5000));
}

// A tick redraws only the glyphs that changed. Whatever the ticks went through, the LCD then holds exactly what
// composing it whole gives: seconds, minutes and days rolling over, texts growing, the stopwatch's hundredths, a
// hovered LCD button, the tab row folded, a countdown running down to its last tick.
TEST_F(TimerMainDisplayTest, GlyphsRedrawnTickByTickMatchTheWholeComposition) {
    int checked = 0;
    const auto tickAndCompare = [this, &checked](long ms, const char* when) {
        clock.AdvanceMs(ms);
        const TDisplayMode mode = window->Engine.Mode;
        window->Timer1Timer();
        if (window->Engine.Mode != mode) {
            return; // the time-up tick: the whole composition after it is of the clock
        }
        const Bitmap ticked = window->DXDraw.Canvas();
        window->DXDraw.Touch(window->Composer().LcdInner()); // anyone drawing there makes the next drawing whole
        window->DrawDisplay();
        const Bitmap& whole = window->DXDraw.Canvas();
        int mismatches = 0;
        for (int y = 0; y < whole.Height(); ++y) {
            mismatches += std::equal(whole.Row(y), whole.Row(y) + whole.Width(), ticked.Row(y)) ? 0 : 1;
        }
        EXPECT_EQ(mismatches, 0) << when << ": rows differing";
        ++checked;
    };
    for (int i = 0; i < 6; ++i) {
        tickAndCompare(200, "clock seconds");
    }
    tickAndCompare(52 * 1000, "clock minute"); // 10:05:08.2 to 10:06:00.2
    window->Engine.DisplayFormat.LongTimeFormat = "h:mm:ss";
    tickAndCompare(14 * 3600 * 1000 - 60 * 1000 + 59 * 1000 + 600, "clock hour into two digits");
    tickAndCompare(200, "clock date"); // 23:59:59.8 to the next day

    Click(Buttons().btnStopwatchTab.get());
    Click(Buttons().btnLcdStartPause.get());
    for (int i = 0; i < 7; ++i) {
        tickAndCompare(230, "stopwatch");
    }
    const TRect start = Buttons().btnLcdStartPause->BoundsRect;
    window->DXDrawMouseMove(start.Left + 5, start.Top + 5);
    tickAndCompare(230, "stopwatch, start hovered");
    window->DXDrawMouseMove(5, 270);
    tickAndCompare(59 * 1000, "stopwatch minute");
    Click(Buttons().btnSplitter.get());
    tickAndCompare(230, "stopwatch, tab row folded");
    Click(Buttons().btnSplitter.get());
    Click(Buttons().btnLcdCancel.get());

    StartCountdown(0, 2);
    for (int i = 0; i < 11 && window->Engine.Mode == dmTimer; ++i) {
        tickAndCompare(window->Timer1.interval(), "countdown");
    }
    EXPECT_EQ(window->Engine.Mode, dmClock);
    tickAndCompare(200, "clock after the time-up");
    tickAndCompare(200, "clock after the time-up");
    EXPECT_GE(checked, 30);
}

TEST_F(TimerMainDisplayTest, SurfaceThatCannotDrawDrawsNothing) {
    window->DXDraw.SetCanDraw(false);
    const long presents = window->DXDraw.PresentCount();
    const Rgb8 before = At(40, 170);
    clock.AdvanceSeconds(3600);
    window->RefreshBackground();
    window->DrawDisplay();
    EXPECT_EQ(window->DXDraw.PresentCount(), presents);
    EXPECT_EQ(At(40, 170), before);
}

} // namespace
} // namespace horavia

HORAVIA_GUI_TEST_MAIN()
