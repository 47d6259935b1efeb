#pragma once

#include <QLoggingCategory>

namespace horavia {

// Warnings of the speech back-ends: a service that cannot be reached, a voice that cannot be loaded, no sound output.
Q_DECLARE_LOGGING_CATEGORY(lcSpeech)

} // namespace horavia
