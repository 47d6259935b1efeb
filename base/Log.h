#pragma once

#include <QLoggingCategory>

// One category per area; warnings are on by default, so every failure the program swallows leaves a line.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
// The settings store, and the string table with the texts built from it.
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcTexts)
