#include "speech/SpeechLog.h"

namespace horavia {

Q_LOGGING_CATEGORY(lcSpeech, "horavia.speech", QtWarningMsg)

} // namespace horavia
