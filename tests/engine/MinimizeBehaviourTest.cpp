#include "engine/MinimizeBehaviour.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

TEST(MinimizeBehaviourTest, HidesToTheTrayOnlyWhenAskedAndATrayExists) {
    EXPECT_EQ(ChooseMinimizeBehaviour(true, true), MinimizeBehaviour::HideToTray);
}

TEST(MinimizeBehaviourTest, WithoutATrayTheWindowIsMinimizedSoItCanBeFoundAgain) {
    EXPECT_EQ(ChooseMinimizeBehaviour(true, false), MinimizeBehaviour::MinimizeToTaskbar);
}

TEST(MinimizeBehaviourTest, WithTheOptionOffTheWindowIsMinimized) {
    EXPECT_EQ(ChooseMinimizeBehaviour(false, true), MinimizeBehaviour::MinimizeToTaskbar);
    EXPECT_EQ(ChooseMinimizeBehaviour(false, false), MinimizeBehaviour::MinimizeToTaskbar);
}

} // namespace
} // namespace horavia
