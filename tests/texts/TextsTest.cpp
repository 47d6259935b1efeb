#include "texts/Texts.h"

#include "texts/StringTable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace horavia {
namespace {

using ::testing::SizeIs;

TEST(StringTable, HoldsEveryTextOfTheProgram) {
    const std::vector<std::pair<int, QString>> expected{
        {65104, QStringLiteral("%s %s %s")},
        {65105, QStringLiteral("It's %s")},
        {65106, QStringLiteral("时间到了。")},
        {65107, QStringLiteral("版本")},
        {65108, QStringLiteral("选择声音文件")},
        {65125, QStringLiteral("定时器")},
        {65126, QStringLiteral("码表")},
        {65127, QStringLiteral("时钟")},
        {65128, QStringLiteral("设置")},
        {65129, QStringLiteral("小时")},
        {65130, QStringLiteral("小时")},
        {65131, QStringLiteral("分钟")},
        {65132, QStringLiteral("分钟")},
        {65133, QStringLiteral("秒")},
        {65134, QStringLiteral("秒")},
        {65135, QStringLiteral("还有 %s %s %s")},
        {65143, QStringLiteral("Unable to load library %s")},
        {65144, QStringLiteral("Unable to initialize sound playback subsystem.")},
    };
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(LoadStr(id), text) << id;
    }
    EXPECT_EQ(StringTable::FromResource(QString::fromLatin1(ProgramLanguage)).Size(),
              static_cast<qsizetype>(expected.size()));
}

TEST(StringTable, UnknownIdsAndLanguagesGiveNothing) {
    EXPECT_TRUE(LoadStr(0).isEmpty());
    EXPECT_TRUE(LoadStr(65109).isEmpty());
    EXPECT_EQ(StringTable::FromResource(QStringLiteral("xx")).Size(), 0);
}

TEST(StringTable, ParsesEscapesAndReportsBadLines) {
    QStringList problems;
    const StringTable table = StringTable::FromTsv("# comment\r\n"
                                                   "\n"
                                                   "1\ttab\\there\\nnewline \\\\ and \\x kept\r\n"
                                                   "2\tsecond\tfield stays\n"
                                                   "2\tagain\n"
                                                   "three\tno number\n"
                                                   "4 without tab\n"
                                                   "5\t\n",
                                                   &problems);
    EXPECT_EQ(table.Text(1), QStringLiteral("tab\there\nnewline \\ and \\x kept"));
    EXPECT_EQ(table.Text(2), QStringLiteral("second\tfield stays"));
    EXPECT_TRUE(table.Contains(5));
    EXPECT_TRUE(table.Text(5).isEmpty());
    EXPECT_EQ(table.Size(), 3);
    EXPECT_THAT(problems, SizeIs(3));
}

TEST(UnitPhrase, IsEmptyForZeroAndNumberSpaceWordOtherwise) {
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 0), QString());
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 1), QStringLiteral("1 小时"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Minutes, 59), QStringLiteral("59 分钟"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Seconds, 30), QStringLiteral("30 秒"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 1000), QStringLiteral("1000 小时"));
}

TEST(UnitPhrase, UsesTheSingularForOneAndThePluralOtherwise) {
    const StringTable english = StringTable::FromTsv("65129\thour\n65130\thours\n65131\tminute\n65132\tminutes\n"
                                                     "65133\tsecond\n65134\tseconds\n");
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 1, english), QStringLiteral("1 hour"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Hours, 2, english), QStringLiteral("2 hours"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Minutes, 1, english), QStringLiteral("1 minute"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Minutes, 11, english), QStringLiteral("11 minutes"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Seconds, 1, english), QStringLiteral("1 second"));
    EXPECT_EQ(UnitPhrase(TimeUnit::Seconds, 0, english), QString());
    EXPECT_EQ(UnitPhrase(TimeUnit::Seconds, -1, english), QStringLiteral("-1 seconds"));
}

QString Remaining(int h, int m, int s) {
    return FormatTemplate(
        LoadStr(StringId::RemainingTime),
        {UnitPhrase(TimeUnit::Hours, h), UnitPhrase(TimeUnit::Minutes, m), UnitPhrase(TimeUnit::Seconds, s)});
}

TEST(FormatTemplate, FillsTheThreeSlotsInOrderAndKeepsTheBlanks) {
    EXPECT_EQ(Remaining(1, 1, 1), QStringLiteral("还有 1 小时 1 分钟 1 秒"));
    EXPECT_EQ(Remaining(2, 0, 30), QStringLiteral("还有 2 小时  30 秒"));
    EXPECT_EQ(Remaining(0, 0, 0), QStringLiteral("还有   "));
    EXPECT_EQ(Remaining(0, 5, 0), QStringLiteral("还有  5 分钟 "));
    EXPECT_EQ(FormatTemplate(LoadStr(StringId::ElapsedTime), {QString(), QStringLiteral("3 分钟"), QString()}),
              QStringLiteral(" 3 分钟 "));
}

TEST(FormatTemplate, TheHourlyChimeIsEnglish) {
    EXPECT_EQ(FormatTemplate(LoadStr(StringId::HourlyChime), {QStringLiteral("9:00:00 AM")}),
              QStringLiteral("It's 9:00:00 AM"));
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
