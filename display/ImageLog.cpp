#include "display/ImageLog.h"

namespace horavia {

Q_LOGGING_CATEGORY(lcImages, "horavia.display.images", QtWarningMsg)

} // namespace horavia
