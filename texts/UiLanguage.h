#pragma once

#include <QString>

#include <optional>

namespace horavia {

// The languages the interface speaks. The value is the item's index in the settings dialog's language
// list, which is what the settings file stores.
enum class UiLanguage { Chinese = 0, English = 1 };

// The language of a stored list index; none for an index the program does not know.
std::optional<UiLanguage> UiLanguageFromIndex(int index);

// The language a first run takes from the system locale name ("zh_CN.UTF-8", "en_GB", "C"): any zh*
// locale gives Chinese, anything else English.
UiLanguage UiLanguageForLocale(const QString& localeName);

// The language code of the translation files, pictures and help pages of a language: "zh_CN", "en".
QString UiLanguageCode(UiLanguage language);

// The language the interface shows now: the one last applied, Chinese before any.
UiLanguage CurrentUiLanguage();
// Records the language the interface now shows; whoever switches the translations calls it.
void SetCurrentUiLanguage(UiLanguage language);

} // namespace horavia
