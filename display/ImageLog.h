#pragma once

#include <QLoggingCategory>

namespace horavia {

// Log of the picture loading: a built-in picture that cannot be read or decoded.
Q_DECLARE_LOGGING_CATEGORY(lcImages)

} // namespace horavia
