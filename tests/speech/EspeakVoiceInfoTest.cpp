#include "speech/EspeakVoiceInfo.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

EspeakVoiceInfo Voice(const char* identifier, const char* name, const char* language) {
    return EspeakVoiceInfo{identifier, QString::fromUtf8(name), QString::fromUtf8(language), {}};
}

// A cut-down copy of what espeak-ng 1.51 lists, in its own order.
std::vector<EspeakVoiceInfo> ServiceOrder() {
    return {Voice("gmw/af", "Afrikaans", "af"),
            Voice("sit/cmn", "Chinese (Mandarin, latin as English)", "cmn"),
            Voice("sit/cmn-Latn-pinyin", "Chinese (Mandarin, latin as Pinyin)", "cmn-latn-pinyin"),
            Voice("gmw/de", "German", "de"),
            Voice("gmw/en", "English (Great Britain)", "en-gb"),
            Voice("gmw/en-US", "English (America)", "en-us"),
            Voice("iro/chr", "Cherokee ", "chr-us-qaaa-x-west"),
            Voice("sit/yue", "Chinese (Cantonese)", "yue")};
}

TEST(OrderEspeakVoicesTest, MandarinPinyinFirstThenAmericanThenOtherEnglishThenTheRestInServiceOrder) {
    const std::vector<EspeakVoiceInfo> voices = OrderEspeakVoices(ServiceOrder());
    ASSERT_EQ(voices.size(), 8u);
    const std::vector<QByteArray> expected = {
        "sit/cmn-Latn-pinyin", "gmw/en-US", "gmw/en", "gmw/af", "sit/cmn", "gmw/de", "iro/chr", "sit/yue"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(voices[i].identifier, expected[i]) << "position " << i;
    }
}

TEST(OrderEspeakVoicesTest, DescriptionsAreNameAndLanguageWithTrimmedNames) {
    const std::vector<EspeakVoiceInfo> voices = OrderEspeakVoices(ServiceOrder());
    EXPECT_EQ(voices[0].description, QStringLiteral("Chinese (Mandarin, latin as Pinyin) (cmn-latn-pinyin)"));
    EXPECT_EQ(voices[1].description, QStringLiteral("English (America) (en-us)"));
    EXPECT_EQ(voices[6].description, QStringLiteral("Cherokee (chr-us-qaaa-x-west)"));
}

TEST(OrderEspeakVoicesTest, RepeatedNameAndLanguageGetTheIdentifierSoDescriptionsStayUnique) {
    std::vector<EspeakVoiceInfo> list = ServiceOrder();
    list.push_back(Voice("sit/yue-Latn-jyutping", "Chinese (Cantonese)", "yue"));
    const std::vector<EspeakVoiceInfo> voices = OrderEspeakVoices(list);
    EXPECT_EQ(voices[7].description, QStringLiteral("Chinese (Cantonese) (yue) [sit/yue]"));
    EXPECT_EQ(voices[8].description, QStringLiteral("Chinese (Cantonese) (yue) [sit/yue-Latn-jyutping]"));
    EXPECT_EQ(voices[0].description, QStringLiteral("Chinese (Mandarin, latin as Pinyin) (cmn-latn-pinyin)"));
}

TEST(OrderEspeakVoicesTest, ASecondOrderingOfTheSameVoicesGivesTheSameList) {
    const std::vector<EspeakVoiceInfo> first = OrderEspeakVoices(ServiceOrder());
    const std::vector<EspeakVoiceInfo> second = OrderEspeakVoices(first);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].description, second[i].description);
    }
}

TEST(FindVoiceTest, PrefersPinyinMandarinAndAmericanEnglish) {
    const std::vector<EspeakVoiceInfo> voices = ServiceOrder();
    EXPECT_EQ(FindMandarinVoice(voices), 2);
    EXPECT_EQ(FindEnglishVoice(voices), 5);
}

TEST(FindVoiceTest, FallsBackToAnyMandarinOrEnglishAndReportsMissingOnes) {
    const std::vector<EspeakVoiceInfo> plain = {Voice("gmw/de", "German", "de"), Voice("sit/cmn", "Chinese", "cmn"),
                                                Voice("gmw/en", "English (Great Britain)", "en-gb")};
    EXPECT_EQ(FindMandarinVoice(plain), 1);
    EXPECT_EQ(FindEnglishVoice(plain), 2);
    const std::vector<EspeakVoiceInfo> none = {Voice("gmw/de", "German", "de"), Voice("sit/yue", "Cantonese", "yue")};
    EXPECT_EQ(FindMandarinVoice(none), -1);
    EXPECT_EQ(FindEnglishVoice(none), -1);
}

TEST(EspeakVoiceInfoTest, OnlyChineseLanguagesReadHan) {
    EXPECT_TRUE(Voice("a", "a", "cmn").ReadsHan());
    EXPECT_TRUE(Voice("a", "a", "cmn-latn-pinyin").ReadsHan());
    EXPECT_TRUE(Voice("a", "a", "yue").ReadsHan());
    EXPECT_TRUE(Voice("a", "a", "hak").ReadsHan());
    EXPECT_FALSE(Voice("a", "a", "en-us").ReadsHan());
    EXPECT_FALSE(Voice("a", "a", "cmnx").ReadsHan());
    EXPECT_FALSE(Voice("a", "a", "").ReadsHan());
}

} // namespace
} // namespace horavia
