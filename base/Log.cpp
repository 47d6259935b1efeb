#include "base/Log.h"

Q_LOGGING_CATEGORY(lcApp, "horavia.app")
Q_LOGGING_CATEGORY(lcPlatform, "horavia.platform")
Q_LOGGING_CATEGORY(lcSettings, "horavia.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTexts, "horavia.texts", QtWarningMsg)
