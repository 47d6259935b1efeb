#pragma once

#include "settings/Registry.h"
#include "settings/RegistryFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace horavia::test {

inline RegistryValue DwordValue(std::uint32_t v) {
    return {RegDword,
            {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
             static_cast<std::uint8_t>(v >> 24)}};
}

inline RegistryValue WideValue(const QString& text) {
    RegistryValue value{RegBinary, {}};
    for (QChar c : text) {
        value.data.push_back(static_cast<std::uint8_t>(c.unicode() & 0xFF));
        value.data.push_back(static_cast<std::uint8_t>(c.unicode() >> 8));
    }
    return value;
}

using StoredValues = std::vector<std::pair<std::string, RegistryValue>>;

// Gives each test its own XDG_CONFIG_HOME, so the store is a real file in a fresh folder, and a Chinese locale,
// whose language a first run takes, whatever the locale the tests run under.
class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedXdg_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
        path_ = Registry::UserStorePath();
        ASSERT_EQ(path_, dir_.path() + QStringLiteral("/horavia/settings.conf"));
        for (const char* variable : LocaleVariables) {
            savedLocale_.emplace_back(variable, qEnvironmentVariableIsSet(variable), qgetenv(variable));
        }
        SetLocale(nullptr, "zh_CN.UTF-8");
    }
    void TearDown() override {
        qputenv("XDG_CONFIG_HOME", savedXdg_);
        for (const auto& [variable, set, value] : savedLocale_) {
            if (set) {
                qputenv(variable, value);
            } else {
                qunsetenv(variable);
            }
        }
    }

    // The locale of the environment: LC_ALL (unset when null) and LANG; LC_MESSAGES unset.
    static void SetLocale(const char* lcAll, const char* lang) {
        qunsetenv("LC_MESSAGES");
        if (lcAll != nullptr) {
            qputenv("LC_ALL", lcAll);
        } else {
            qunsetenv("LC_ALL");
        }
        qputenv("LANG", lang);
    }

    QString StoreDir() const { return dir_.path() + QStringLiteral("/horavia"); }

    void WriteRaw(const QByteArray& bytes) const {
        ASSERT_TRUE(QDir().mkpath(StoreDir()));
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray ReadRaw() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void WriteStore(const StoredValues& values, const std::string& key = "Software\\Horavia") const {
        RegistryFile file;
        RegistryKey& k = file.AddKey(key);
        for (const auto& [name, value] : values) {
            k.Set(name, value);
        }
        const std::string text = file.Serialize();
        WriteRaw(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }

    std::optional<RegistryFile> ReadStore() const {
        const QByteArray bytes = ReadRaw();
        return RegistryFile::Parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }

    QStringList AsideFiles() const {
        return QDir(StoreDir()).entryList({QStringLiteral("settings.conf.corrupt-*")}, QDir::Files);
    }

    QTemporaryDir dir_;
    QString path_;
    QByteArray savedXdg_;
    static constexpr const char* LocaleVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::tuple<const char*, bool, QByteArray>> savedLocale_;
};

} // namespace horavia::test
