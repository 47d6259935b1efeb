#include "texts/UiLanguage.h"

#include <atomic>

namespace horavia {

namespace {

// Read by the speech thread too, so the word of the window's thread must reach it whole.
std::atomic<UiLanguage> gCurrent{UiLanguage::Chinese};

} // namespace

std::optional<UiLanguage> UiLanguageFromIndex(int index) {
    switch (index) {
    case static_cast<int>(UiLanguage::Chinese):
        return UiLanguage::Chinese;
    case static_cast<int>(UiLanguage::English):
        return UiLanguage::English;
    default:
        return std::nullopt;
    }
}

UiLanguage UiLanguageForLocale(const QString& localeName) {
    return localeName.startsWith(QLatin1String("zh"), Qt::CaseInsensitive) ? UiLanguage::Chinese : UiLanguage::English;
}

QString UiLanguageCode(UiLanguage language) {
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("zh_CN");
}

UiLanguage CurrentUiLanguage() {
    return gCurrent.load();
}

void SetCurrentUiLanguage(UiLanguage language) {
    gCurrent.store(language);
}

} // namespace horavia
