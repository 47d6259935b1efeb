#include "settings/SettingsStore.h"

#include "SaveLoopSets.h"
#include "StoreFixture.h"
#include "support/FakeSpeechVoice.h"

#include <gtest/gtest.h>

#include <iostream>
#include <random>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace horavia {
namespace {

constexpr int Rounds = 300;

class SaveKillTest : public test::StoreFixture {
protected:
    // Starts the save loop and kills it after `saves` saves have begun plus `spin` idle iterations.
    void RunAndKill(int saves, unsigned spin) {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::execl(HORAVIA_SAVE_LOOP_HELPER, HORAVIA_SAVE_LOOP_HELPER, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        char mark = 0;
        for (int i = 0; i < saves; ++i) {
            ASSERT_EQ(::read(out[0], &mark, 1), 1) << "the helper stopped";
        }
        // A random stretch of busy work, not a sleep: it only moves the moment of the kill.
        volatile unsigned sink = 0;
        for (unsigned i = 0; i < spin; ++i) {
            sink = sink + i;
        }
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(out[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the helper ended by itself";
    }
};

TEST_F(SaveKillTest, AKilledSaveLeavesTheOldOrTheNewCompleteSet) {
    test::FakeSpeechVoice voice;
    Settings seed = test::SaveLoopSet(false);
    SaveSettings(seed, voice, seed.LastWindowPosLeft, seed.LastWindowPosTop);

    std::mt19937 random(20240601u);
    int first = 0;
    int second = 0;
    int midWrite = 0;
    for (int round = 0; round < Rounds; ++round) {
        RunAndKill(std::uniform_int_distribution<int>(1, 4)(random),
                   std::uniform_int_distribution<unsigned>(0, 400000)(random));
        const QStringList temporaries =
            QDir(StoreDir()).entryList({QStringLiteral("settings.conf.tmp-*")}, QDir::Files);
        midWrite += temporaries.isEmpty() ? 0 : 1;

        Settings loaded;
        ASSERT_NO_THROW(LoadSettings(loaded, voice)) << "round " << round;
        const bool isFirst = test::SameSettings(loaded, test::SaveLoopSet(false));
        const bool isSecond = test::SameSettings(loaded, test::SaveLoopSet(true));
        ASSERT_TRUE(isFirst || isSecond) << "round " << round << ": a mixed or damaged set";
        first += isFirst ? 1 : 0;
        second += isSecond ? 1 : 0;
        ASSERT_TRUE(AsideFiles().isEmpty()) << "round " << round << ": the file was found corrupt";
    }
    std::cout << "[ kills    ] " << Rounds << " kills: " << first << " left the first set, " << second
              << " the second; " << midWrite << " struck while a temporary file existed\n";
    RecordProperty("kills", Rounds);
    RecordProperty("mid_write", midWrite);
    // Both outcomes must occur, or the kills never landed inside the loop's saves.
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
}

} // namespace
} // namespace horavia
