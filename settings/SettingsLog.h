#pragma once

#include <QLoggingCategory>

// Warnings about the settings store and the string table; enabled at warning level by default.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcTexts)
