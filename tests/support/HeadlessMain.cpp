// Every test binary runs on the headless back end, installed explicitly as the game does with
// its own; a test that wants a fresh one installs it again.
#include <gtest/gtest.h>

#include "platform/headless/Headless.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::UseHeadless();
    return RUN_ALL_TESTS();
}
