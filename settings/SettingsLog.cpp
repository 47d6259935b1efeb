#include "settings/SettingsLog.h"

Q_LOGGING_CATEGORY(lcSettings, "horavia.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTexts, "horavia.texts", QtWarningMsg)
