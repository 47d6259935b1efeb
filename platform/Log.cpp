#include "platform/Log.h"

Q_LOGGING_CATEGORY(lcApp, "horavia.app")
Q_LOGGING_CATEGORY(lcPlatform, "horavia.platform")
