#include "texts/Translations.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <optional>

namespace horavia {

namespace {

// The translators installed now; they are children of the application object, so they go with it.
struct Installed {
    QPointer<QCoreApplication> app;
    std::optional<UiLanguage> language;
    QPointer<QTranslator> program;
    QPointer<QTranslator> qt;
};

Installed& Current() {
    static Installed installed;
    return installed;
}

void Remove(QPointer<QTranslator>& translator) {
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

// A translator loaded from file in folder, installed; null when there is no such file.
QTranslator* Install(const QString& file, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(file, folder)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace

QString SystemLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return QLocale::system().name();
}

UiLanguage LocaleUiLanguage() {
    return UiLanguageForLocale(SystemLocaleName());
}

UiLanguage UiLanguageOfIndex(int index) {
    return UiLanguageFromIndex(index).value_or(LocaleUiLanguage());
}

void ApplyUiLanguage(UiLanguage language) {
    Installed& now = Current();
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        qCWarning(lcTexts) << "no application object: the interface's language stays as it is";
        return;
    }
    if (now.app == app && now.language == language) {
        return;
    }
    Remove(now.program);
    Remove(now.qt);
    const QString code = UiLanguageCode(language);
    // The source texts are Chinese: that language needs no translation of the program's own.
    now.program = Install(QStringLiteral("horavia_") + code, QStringLiteral(":/i18n"));
    if (!now.program && language != UiLanguage::Chinese) {
        qCWarning(lcTexts) << "no translation of the program into" << code;
    }
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    now.qt = Install(QStringLiteral("qtbase_") + code, qtFolder);
    if (!now.qt) {
        qCWarning(lcTexts) << "no translation of Qt's own texts into" << code << "in" << qtFolder;
    }
    now.app = app;
    now.language = language;
    SetCurrentUiLanguage(language);
}

} // namespace horavia
