#include "settings/Registry.h"

#include "StoreFixture.h"
#include "settings/RegistryError.h"

#include <QFileInfo>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace horavia {
namespace {

using test::DwordValue;
using ::testing::HasSubstr;

class RegistryTest : public test::StoreFixture {
protected:
    std::unique_ptr<Registry> Full() { return Registry::Create(Registry::Access::Full, path_); }
    std::unique_ptr<Registry> ReadOnly() { return Registry::Create(Registry::Access::Read, path_); }
};

QString ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RegistryError& e) {
        return e.Message();
    }
    return QStringLiteral("(nothing raised)");
}

TEST(RegistryPath, FollowsTheXdgRules) {
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", "/home/u");
    qputenv("XDG_CONFIG_HOME", "/cfg/");
    EXPECT_EQ(Registry::UserStorePath(), QStringLiteral("/cfg/horavia/settings.conf"));
    qputenv("XDG_CONFIG_HOME", "not/absolute");
    EXPECT_EQ(Registry::UserStorePath(), QStringLiteral("/home/u/.config/horavia/settings.conf"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(Registry::UserStorePath(), QStringLiteral("/home/u/.config/horavia/settings.conf"));
    qunsetenv("HOME");
    EXPECT_EQ(Registry::UserStorePath(), QString());
    EXPECT_EQ(Registry::Create(Registry::Access::Full, QString()), nullptr);
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", xdg);
}

TEST_F(RegistryTest, OpeningWithoutCreatingLeavesNoTrace) {
    auto reg = Full();
    EXPECT_FALSE(reg->OpenKey(QStringLiteral("Software\\Horavia"), false));
    EXPECT_FALSE(reg->KeyExists(QStringLiteral("Software\\Horavia")));
    EXPECT_FALSE(QFileInfo::exists(StoreDir()));
}

TEST_F(RegistryTest, WritesReachTheFileOnlyWhenTheKeyIsClosed) {
    auto reg = Full();
    ASSERT_TRUE(reg->OpenKey(QStringLiteral("K"), true));
    const QByteArray created = ReadRaw();
    reg->WriteInteger(QStringLiteral("a"), -2);
    EXPECT_EQ(reg->ReadInteger(QStringLiteral("a")), -2);
    EXPECT_EQ(ReadRaw(), created);
    reg->CloseKey();
    EXPECT_THAT(ReadRaw().toStdString(), HasSubstr("[K]\n\"a\"=dword:fffffffe\n"));
}

TEST_F(RegistryTest, AnAccessorDroppedAfterAFailureStoresNothing) {
    WriteStore({{"a", DwordValue(1)}}, "K");
    const QByteArray before = ReadRaw();
    {
        auto reg = Full();
        ASSERT_TRUE(reg->OpenKey(QStringLiteral("K"), false));
        reg->WriteInteger(QStringLiteral("a"), 2);
        reg->WriteInteger(QStringLiteral("b"), 3);
    }
    EXPECT_EQ(ReadRaw(), before);
}

TEST_F(RegistryTest, ReadingRaisesTheRegistryMessages) {
    WriteStore({{"n", DwordValue(5)}, {"b", RegistryValue{RegBinary, {1, 2, 3}}}}, "K");
    auto reg = Full();
    EXPECT_EQ(ErrorOf([&] { reg->ReadInteger(QStringLiteral("n")); }), QStringLiteral("Failed to get data for 'n'"));
    ASSERT_TRUE(reg->OpenKey(QStringLiteral("K"), false));
    EXPECT_EQ(reg->ReadInteger(QStringLiteral("n")), 5);
    EXPECT_EQ(ErrorOf([&] { reg->ReadInteger(QStringLiteral("missing")); }),
              QStringLiteral("Failed to get data for 'missing'"));
    EXPECT_EQ(ErrorOf([&] { reg->ReadInteger(QStringLiteral("b")); }), QStringLiteral("Invalid data type for 'b'"));
    unsigned char buf[3] = {};
    EXPECT_EQ(reg->ReadBinaryData(QStringLiteral("b"), buf, 3), 3);
    EXPECT_EQ(buf[2], 3);
    EXPECT_EQ(ErrorOf([&] { reg->ReadBinaryData(QStringLiteral("b"), buf, 2); }),
              QStringLiteral("Invalid data type for 'b'"));
    EXPECT_EQ(ErrorOf([&] { reg->ReadBinaryData(QStringLiteral("n"), buf, 3); }),
              QStringLiteral("Invalid data type for 'n'"));
}

TEST_F(RegistryTest, ReadAccessNeverWritesOrCreates) {
    WriteStore({}, "K");
    const QByteArray before = ReadRaw();
    auto reg = ReadOnly();
    EXPECT_FALSE(reg->OpenKey(QStringLiteral("Other"), true));
    EXPECT_EQ(ErrorOf([&] { reg->CreateKey(QStringLiteral("Other")); }), QStringLiteral("Failed to create key Other"));
    ASSERT_TRUE(reg->OpenKey(QStringLiteral("K"), false));
    EXPECT_EQ(ErrorOf([&] { reg->WriteInteger(QStringLiteral("a"), 1); }),
              QStringLiteral("Failed to set data for 'a'"));
    reg->CloseKey();
    EXPECT_EQ(ReadRaw(), before);
}

TEST_F(RegistryTest, OversizedValuesAreRefused) {
    auto reg = Full();
    ASSERT_TRUE(reg->OpenKey(QStringLiteral("K"), true));
    std::vector<char> big(MaxValueDataBytes + 1);
    EXPECT_EQ(ErrorOf([&] { reg->WriteBinaryData(QStringLiteral("big"), big.data(), static_cast<int>(big.size())); }),
              QStringLiteral("Failed to set data for 'big'"));
    EXPECT_EQ(ErrorOf([&] { reg->WriteInteger(QString(MaxNameBytes + 1, QChar(u'n')), 1); }),
              QStringLiteral("Failed to set data for '%1'").arg(QString(MaxNameBytes + 1, QChar(u'n'))));
}

TEST_F(RegistryTest, TwoAccessorsSavingAtOnceKeepEachOthersValues) {
    WriteStore({{"shared", DwordValue(0)}}, "K");
    auto first = Full();
    auto second = Full();
    ASSERT_TRUE(first->OpenKey(QStringLiteral("K"), false));
    ASSERT_TRUE(second->OpenKey(QStringLiteral("K"), false));
    first->WriteInteger(QStringLiteral("fromFirst"), 1);
    second->WriteInteger(QStringLiteral("fromSecond"), 2);
    second->WriteInteger(QStringLiteral("shared"), 2);
    second->CloseKey();
    first->CloseKey();
    const auto stored = ReadStore();
    ASSERT_TRUE(stored);
    const RegistryKey* key = stored->FindKey("K");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(*key->Find("fromFirst"), DwordValue(1));
    EXPECT_EQ(*key->Find("fromSecond"), DwordValue(2));
    EXPECT_EQ(*key->Find("shared"), DwordValue(2));
}

TEST_F(RegistryTest, SavingKeepsTheFilePrivateLinkedAndFreeOfLeftovers) {
    // A settings file kept elsewhere and linked in (as dotfile managers do) must stay linked.
    const QString real = dir_.path() + QStringLiteral("/dotfiles/settings.conf");
    ASSERT_TRUE(QDir().mkpath(dir_.path() + QStringLiteral("/dotfiles")));
    ASSERT_TRUE(QDir().mkpath(StoreDir()));
    {
        QFile file(real);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Horavia Settings Version 1\n");
    }
    ASSERT_TRUE(QFile::link(real, path_));
    QFile leftover(dir_.path() + QStringLiteral("/dotfiles/settings.conf.tmp-abc123"));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly)); // as a copy killed while saving would leave it
    leftover.close();

    auto reg = Full();
    ASSERT_TRUE(reg->OpenKey(QStringLiteral("K"), true));
    reg->WriteInteger(QStringLiteral("a"), 1);
    reg->CloseKey();

    EXPECT_TRUE(QFileInfo(path_).isSymLink());
    EXPECT_NE(ReadStore()->FindKey("K"), nullptr);
    EXPECT_FALSE(QFileInfo::exists(leftover.fileName()));
    EXPECT_EQ(QDir(dir_.path() + QStringLiteral("/dotfiles")).entryList(QDir::Files),
              QStringList{QStringLiteral("settings.conf")});
}

TEST_F(RegistryTest, ANewStoreIsReadableByItsOwnerOnly) {
    auto reg = Full();
    ASSERT_TRUE(reg->OpenKey(QStringLiteral("K"), true));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path_).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(QFile::encodeName(StoreDir()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

} // namespace
} // namespace horavia
