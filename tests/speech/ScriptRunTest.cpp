#include "speech/ScriptRun.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

using Script = ScriptRun::Script;

QString Joined(const std::vector<ScriptRun>& runs) {
    QString text;
    for (const ScriptRun& run : runs) {
        text += run.text;
    }
    return text;
}

TEST(SplitScriptRunsTest, ChineseReminderIsOneHanRunWithItsDigitsAndBlanks) {
    const QString text = QStringLiteral("还有 1 小时 2 分钟 3 秒");
    const std::vector<ScriptRun> runs = SplitScriptRuns(text);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].script, Script::Han);
    EXPECT_EQ(runs[0].text, text);
}

TEST(SplitScriptRunsTest, EnglishAnnouncementIsOneOtherRun) {
    const QString text = QStringLiteral("It's 3:00 PM");
    const std::vector<ScriptRun> runs = SplitScriptRuns(text);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].script, Script::Other);
    EXPECT_EQ(runs[0].text, text);
}

TEST(SplitScriptRunsTest, StopwatchTextStartingWithDigitsGivesTheDigitsToTheFirstLetters) {
    const std::vector<ScriptRun> runs = SplitScriptRuns(QStringLiteral("12 分钟 5 秒"));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].script, Script::Han);
    EXPECT_TRUE(runs[0].text.startsWith(QStringLiteral("12 ")));
}

TEST(SplitScriptRunsTest, MixedTextAlternatesAndNeutralsJoinThePrecedingRun) {
    const QString text = QStringLiteral("It's 3:00 PM，还有 5 分钟 OK");
    const std::vector<ScriptRun> runs = SplitScriptRuns(text);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].script, Script::Other);
    EXPECT_EQ(runs[0].text, QStringLiteral("It's 3:00 PM，"));
    EXPECT_EQ(runs[1].script, Script::Han);
    EXPECT_EQ(runs[1].text, QStringLiteral("还有 5 分钟 "));
    EXPECT_EQ(runs[2].script, Script::Other);
    EXPECT_EQ(runs[2].text, QStringLiteral("OK"));
    EXPECT_EQ(Joined(runs), text);
}

TEST(SplitScriptRunsTest, TextsWithoutLettersAreOneNeutralRunAndEmptyTextNone) {
    EXPECT_TRUE(SplitScriptRuns(QString()).empty());
    const std::vector<ScriptRun> runs = SplitScriptRuns(QStringLiteral(" 12:00 。"));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].script, Script::Neutral);
    EXPECT_EQ(runs[0].text, QStringLiteral(" 12:00 。"));
}

TEST(SplitScriptRunsTest, CharactersOutsideTheBasicPlaneStayWholeAndCountAsHan) {
    // U+20000, a Han character written as a surrogate pair in UTF-16.
    const QString rare = QString::fromUcs4(U"a\U00020000b");
    const std::vector<ScriptRun> runs = SplitScriptRuns(rare);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].script, Script::Han);
    EXPECT_EQ(runs[1].text.size(), 2);
    EXPECT_EQ(Joined(runs), rare);
}

} // namespace
} // namespace horavia
