#include "audio/TMyAudioMixer.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

// Whatever the machine has, the mixer answers consistently: with a Master control every read gives volumes
// in 0..65535 and a write of what was read reads back the same; without one every call reports failure.
TEST(TMyAudioMixer, ReportsFailureWithoutAMasterControlAndRoundTripsWithOne) {
    TMyAudioMixer mixer;
    int left = -1;
    int right = -1;
    bool mute = false;
    const bool read = mixer.ReadMaster(left, right, mute);
    EXPECT_EQ(read, mixer.Available());
    if (!mixer.Available()) {
        EXPECT_FALSE(mixer.WriteMaster(1000, 1000, false));
        EXPECT_FALSE(mixer.SetMasterMute(false));
        return;
    }
    EXPECT_GE(left, 0);
    EXPECT_LE(left, 65535);
    EXPECT_GE(right, 0);
    EXPECT_LE(right, 65535);
    ASSERT_TRUE(mixer.WriteMaster(left, right, mute));
    int l2 = -1;
    int r2 = -1;
    bool m2 = !mute;
    ASSERT_TRUE(mixer.ReadMaster(l2, r2, m2));
    EXPECT_NEAR(l2, left, 65535 / 100);
    EXPECT_EQ(m2, mute);
}

} // namespace
} // namespace horavia
