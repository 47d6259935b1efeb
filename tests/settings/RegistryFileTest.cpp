#include "settings/RegistryFile.h"

#include <gtest/gtest.h>

#include <string>

namespace horavia {
namespace {

RegistryValue Dword(std::uint32_t v) {
    return {RegDword,
            {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
             static_cast<std::uint8_t>(v >> 24)}};
}

std::string WithHeader(const std::string& body) {
    return std::string(RegistryFile::Header) + "\n" + body;
}

TEST(RegistryFileText, WritesReadableLinesInOrder) {
    RegistryFile file;
    RegistryKey& key = file.AddKey("Software\\Horavia");
    key.Set("TimeFormat", Dword(1));
    key.Set("LastWindowPosLeft", Dword(0xFFFFFFF6u));
    key.Set("SoundFileW", RegistryValue{RegBinary, {0x2f, 0x00, 0x61, 0x00}});
    key.Set("VoiceNameW", RegistryValue{RegBinary, {}});
    file.AddKey("Software\\Rousely!");

    EXPECT_EQ(file.Serialize(), WithHeader("\n[Software\\Horavia]\n"
                                           "\"TimeFormat\"=dword:00000001\n"
                                           "\"LastWindowPosLeft\"=dword:fffffff6\n"
                                           "\"SoundFileW\"=hex:2f,00,61,00\n"
                                           "\"VoiceNameW\"=hex:\n"
                                           "\n[Software\\Rousely!]\n"));
}

TEST(RegistryFileText, EveryByteInNamesAndDataRoundTrips) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b) {
        allBytes += static_cast<char>(b);
    }
    RegistryFile file;
    RegistryKey& key = file.AddKey("[odd]\n" + allBytes);
    key.Set(allBytes, RegistryValue{RegBinary, std::vector<std::uint8_t>(allBytes.begin(), allBytes.end())});
    key.Set("\"quoted\" %41", Dword(7));
    key.Set("", RegistryValue{0x12345678u, {1, 2, 3}});
    key.Set("short dword", RegistryValue{RegDword, {9}});
    file.AddKey("");

    const std::string text = file.Serialize();
    std::string error;
    const auto parsed = RegistryFile::Parse(text, &error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(*parsed, file);
    EXPECT_EQ(parsed->Serialize(), text);
}

TEST(RegistryFileText, AcceptsWhatAnEditorMayLeave) {
    const std::string text = "\xEF\xBB\xBF; written by hand\r\n"
                             "  Horavia Settings Version 1  \r\n"
                             "\r\n"
                             "# comment\r\n"
                             "[Software\\Horavia]\r\n"
                             "\t\"Language\"=dword:A\r\n"
                             "\"SoundFileW\"=hex: 41, 00 ,42,00\r\n"
                             "\"Other\"=hex(7):00";
    std::string error;
    const auto parsed = RegistryFile::Parse(text, &error);
    ASSERT_TRUE(parsed) << error;
    const RegistryKey* key = parsed->FindKey("Software\\Horavia");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(*key->Find("Language"), Dword(10));
    EXPECT_EQ(*key->Find("SoundFileW"), (RegistryValue{RegBinary, {0x41, 0, 0x42, 0}}));
    EXPECT_EQ(*key->Find("Other"), (RegistryValue{7, {0}}));
}

TEST(RegistryFileText, EmptyStoreHasOnlyTheHeader) {
    const auto parsed = RegistryFile::Parse(WithHeader(""));
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->Keys().empty());
}

TEST(RegistryFileText, SetReplacesInPlace) {
    RegistryKey key;
    key.Set("a", Dword(1));
    key.Set("b", Dword(2));
    key.Set("a", Dword(3));
    ASSERT_EQ(key.values.size(), 2u);
    EXPECT_EQ(key.values[0].first, "a");
    EXPECT_EQ(key.values[0].second, Dword(3));
}

struct Malformed {
    const char* what;
    std::string text;
};

class RegistryFileRefuses : public ::testing::TestWithParam<Malformed> {};

TEST_P(RegistryFileRefuses, AndSaysWhy) {
    std::string error;
    EXPECT_FALSE(RegistryFile::Parse(GetParam().text, &error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RegistryFileRefuses,
    ::testing::Values(Malformed{"empty", ""}, Malformed{"no header", "[Software\\Horavia]\n"},
                      Malformed{"other header", "Windows Registry Editor Version 5.00\n"},
                      Malformed{"value before key", WithHeader("\"a\"=dword:1\n")},
                      Malformed{"duplicate key", WithHeader("[k]\n[k]\n")},
                      Malformed{"duplicate value", WithHeader("[k]\n\"a\"=dword:1\n\"a\"=dword:2\n")},
                      Malformed{"long dword", WithHeader("[k]\n\"a\"=dword:123456789\n")},
                      Malformed{"empty dword", WithHeader("[k]\n\"a\"=dword:\n")},
                      Malformed{"bad hex", WithHeader("[k]\n\"a\"=hex:4g\n")},
                      Malformed{"one digit", WithHeader("[k]\n\"a\"=hex:4\n")},
                      Malformed{"trailing comma", WithHeader("[k]\n\"a\"=hex:41,\n")},
                      Malformed{"unknown type", WithHeader("[k]\n\"a\"=\"text\"\n")},
                      Malformed{"bad type number", WithHeader("[k]\n\"a\"=hex(x):00\n")},
                      Malformed{"unclosed name", WithHeader("[k]\n\"a=dword:1\n")},
                      Malformed{"unclosed key", WithHeader("[k\n")},
                      Malformed{"truncated escape", WithHeader("[k%4]\n")},
                      Malformed{"bad escape", WithHeader("[k%zz]\n")},
                      Malformed{"stray line", WithHeader("[k]\nTimeFormat=1\n")},
                      Malformed{"oversized value",
                                [] {
                                    std::string list = "00";
                                    for (std::size_t i = 1; i <= MaxValueDataBytes; ++i) {
                                        list += ",00";
                                    }
                                    return WithHeader("[k]\n\"a\"=hex:" + list + "\n");
                                }()},
                      Malformed{"oversized name", WithHeader("[" + std::string(MaxNameBytes + 1, 'n') + "]\n")},
                      Malformed{"oversized file", WithHeader(std::string(MaxStoreFileBytes, '\n'))}),
    [](const ::testing::TestParamInfo<Malformed>& param) {
        std::string name = param.param.what;
        for (char& c : name) {
            if (c == ' ') {
                c = '_';
            }
        }
        return name;
    });

} // namespace
} // namespace horavia
