#pragma once

#include "texts/UiLanguage.h"

#include <QString>

namespace horavia {

// The locale whose language the interface follows: the first of LC_ALL, LC_MESSAGES and LANG that is set,
// the order in which every program picks the language of its messages; the system locale's name when none is.
QString SystemLocaleName();

// The language a stored list index stands for; an index the program does not know (a newer program's
// language, a hand-edited file) gives the system locale's language.
UiLanguage UiLanguageOfIndex(int index);

// The language the system locale gives (UiLanguageForLocale of SystemLocaleName).
UiLanguage LocaleUiLanguage();

// Makes the interface speak language: the translations of the previous language, the program's and Qt's own
// (the message box's buttons, the file dialog), give way to those of this one, and it becomes the current
// language. Qt then sends every widget a LanguageChange event, on which windows refetch their texts. Needs the
// application object; applying the language already shown does nothing.
void ApplyUiLanguage(UiLanguage language);

} // namespace horavia
