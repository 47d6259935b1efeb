// Saves the two settings sets of SaveLoopSets.h in turn, forever, into the store that XDG_CONFIG_HOME
// points at. Before each save it writes one byte to standard output, so a test can tell how far it got
// and kill it part way through a save.
#include "SaveLoopSets.h"
#include "settings/SettingsStore.h"
#include "support/FakeSpeechVoice.h"

#include <unistd.h>

int main() {
    horavia::test::FakeSpeechVoice voice;
    for (unsigned n = 0;; ++n) {
        horavia::Settings s = horavia::test::SaveLoopSet(n % 2 == 1);
        const char mark = 's';
        if (::write(STDOUT_FILENO, &mark, 1) != 1) {
            return 1;
        }
        horavia::SaveSettings(s, voice, s.LastWindowPosLeft, s.LastWindowPosTop);
    }
}
