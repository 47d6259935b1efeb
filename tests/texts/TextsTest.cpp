#include "texts/Texts.h"

#include "texts/RemindIntervalItems.h"
#include "texts/Translations.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace horavia {
namespace {

// Each test starts in Chinese, the language of the sources, and may switch.
class TextsTest : public ::testing::Test {
protected:
    void SetUp() override { ApplyUiLanguage(UiLanguage::Chinese); }
    void TearDown() override { ApplyUiLanguage(UiLanguage::Chinese); }
};

QString Remaining(int h, int m, int s) {
    return FormatTemplate(
        LoadStr(StringId::RemainingTime),
        {UnitPhrase(TimeUnit::Hours, h), UnitPhrase(TimeUnit::Minutes, m), UnitPhrase(TimeUnit::Seconds, s)});
}

TEST_F(TextsTest, UnknownIdsGiveNothing) {
    EXPECT_TRUE(LoadStr(0).isEmpty());
    EXPECT_TRUE(LoadStr(65109).isEmpty());
}

TEST_F(TextsTest, UnitPhraseIsEmptyForZeroAndNumberSpaceWordOtherwise) {
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 0), QString());
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 1), QStringLiteral("1 小时"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Minutes, 59), QStringLiteral("59 分钟"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Seconds, 30), QStringLiteral("30 秒"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 1000), QStringLiteral("1000 小时"));
}

TEST_F(TextsTest, TheChineseReminderFillsTheThreeSlotsInOrderAndKeepsTheBlanks) {
    EXPECT_EQ(Remaining(1, 1, 1), QStringLiteral("还有 1 小时 1 分钟 1 秒"));
    EXPECT_EQ(Remaining(2, 0, 30), QStringLiteral("还有 2 小时  30 秒"));
    EXPECT_EQ(Remaining(0, 0, 0), QStringLiteral("还有   "));
    EXPECT_EQ(Remaining(0, 5, 0), QStringLiteral("还有  5 分钟 "));
    EXPECT_EQ(FormatTemplate(LoadStr(StringId::ElapsedTime), {QString(), QStringLiteral("3 分钟"), QString()}),
              QStringLiteral(" 3 分钟 "));
}

TEST_F(TextsTest, TheEnglishReminderTellsSingularFromPlural) {
    ApplyUiLanguage(UiLanguage::English);
    EXPECT_EQ(CurrentUiLanguage(), UiLanguage::English);
    EXPECT_EQ(Remaining(1, 1, 1), QStringLiteral("Still 1 hour 1 minute 1 second to go"));
    EXPECT_EQ(Remaining(2, 0, 30), QStringLiteral("Still 2 hours  30 seconds to go"));
    EXPECT_EQ(Remaining(0, 0, 0), QStringLiteral("Still    to go"));
    EXPECT_EQ(Remaining(0, 11, 1), QStringLiteral("Still  11 minutes 1 second to go"));
    EXPECT_EQ(FormatTemplate(LoadStr(StringId::ElapsedTime),
                             {UnitPhrase(TimeUnit::Hours, 1), QString(), UnitPhrase(TimeUnit::Seconds, 2)}),
              QStringLiteral("1 hour  2 seconds"));
    EXPECT_EQ(RemindIntervalItems().at(1), QStringLiteral("3 minutes"));

    // Texts are translated when they are fetched, never kept from an earlier language.
    ApplyUiLanguage(UiLanguage::Chinese);
    EXPECT_EQ(Remaining(0, 2, 0), QStringLiteral("还有  2 分钟 "));
    EXPECT_EQ(RemindIntervalItems().at(1), QStringLiteral("3 分钟"));
}

TEST_F(TextsTest, TheHourlyChimeIsEnglishInEveryLanguage) {
    for (UiLanguage language : {UiLanguage::Chinese, UiLanguage::English}) {
        ApplyUiLanguage(language);
        EXPECT_EQ(FormatTemplate(LoadStr(StringId::HourlyChime), {QStringLiteral("9:00:00 AM")}),
                  QStringLiteral("It's 9:00:00 AM"));
    }
}

TEST(FormatTemplate, InterpretsNothingButPercentS) {
    EXPECT_EQ(FormatTemplate(QStringLiteral("%s|%s"), {QStringLiteral("%s"), QStringLiteral("%1 %% %d")}),
              QStringLiteral("%s|%1 %% %d"));
    EXPECT_EQ(FormatTemplate(QStringLiteral("100% %d %1 %%s %"), {QStringLiteral("x")}),
              QStringLiteral("100% %d %1 %x %"));
    EXPECT_EQ(FormatTemplate(QStringLiteral("%S %s"), {QStringLiteral("x")}), QStringLiteral("%S x"));
}

TEST(FormatTemplate, MissingArgumentsAreEmptyAndExtraOnesIgnored) {
    EXPECT_EQ(FormatTemplate(QStringLiteral("[%s][%s]"), {QStringLiteral("a")}), QStringLiteral("[a][]"));
    EXPECT_EQ(FormatTemplate(QStringLiteral("[%s]"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("[a]"));
    EXPECT_EQ(FormatTemplate(QString(), {QStringLiteral("a")}), QString());
}

} // namespace
} // namespace horavia

// The translators belong to the application object.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
