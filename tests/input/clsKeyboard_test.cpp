#include "input/clsKeyboard.h"

#include <gtest/gtest.h>

#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"

namespace {

class KeyboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host = &platform::UseHeadless();
        keyboard.Initialize();
    }
    platform::Headless* host = nullptr;
    clsKeyboard keyboard;
};

TEST_F(KeyboardTest, HeldKeyEdgesAcrossChecks) {
    host->SetKey('D', true);
    keyboard.Check();
    EXPECT_TRUE(keyboard.KeyHold('D'));
    EXPECT_TRUE(keyboard.KeyDown('D'));
    EXPECT_FALSE(keyboard.KeyUp('D'));
    for (int i = 0; i < 2; ++i) {
        keyboard.Check();
        EXPECT_TRUE(keyboard.KeyHold('D'));
        EXPECT_FALSE(keyboard.KeyDown('D'));
    }
    host->SetKey('D', false);
    keyboard.Check();
    EXPECT_FALSE(keyboard.KeyHold('D'));
    EXPECT_TRUE(keyboard.KeyUp('D'));
    keyboard.Check();
    EXPECT_FALSE(keyboard.KeyUp('D'));
}

TEST_F(KeyboardTest, TapBetweenChecksIsKeptForOneCheck) {
    host->SetKey(VK_SPACE, true);
    host->SetKey(VK_SPACE, false);
    keyboard.Check();
    EXPECT_TRUE(keyboard.KeyHold(VK_SPACE));
    EXPECT_TRUE(keyboard.KeyDown(VK_SPACE));
    keyboard.Check();
    EXPECT_FALSE(keyboard.KeyHold(VK_SPACE));
    EXPECT_TRUE(keyboard.KeyUp(VK_SPACE));

    // Two taps between checks flip the toggle bit back: the old rule cannot see them.
    host->SetKey(VK_SPACE, true);
    host->SetKey(VK_SPACE, false);
    host->SetKey(VK_SPACE, true);
    host->SetKey(VK_SPACE, false);
    keyboard.Check();
    EXPECT_FALSE(keyboard.KeyHold(VK_SPACE));
}

TEST_F(KeyboardTest, InjectedInputLastsUntilNextCheck) {
    keyboard.SetKeyHold('W', true);
    EXPECT_TRUE(keyboard.KeyHold('W'));
    keyboard.Check();
    EXPECT_FALSE(keyboard.KeyHold('W'));

    keyboard.SetKeyDown(VK_ESCAPE, true);
    EXPECT_TRUE(keyboard.KeyDown(VK_ESCAPE));
    EXPECT_TRUE(keyboard.KeyHold(VK_ESCAPE));
    keyboard.Check();
    EXPECT_TRUE(keyboard.KeyUp(VK_ESCAPE));

    // Withdrawing a down edge leaves a really held key held.
    host->SetKey('A', true);
    keyboard.Check();
    keyboard.SetKeyDown('A', false);
    EXPECT_FALSE(keyboard.KeyDown('A'));
    EXPECT_TRUE(keyboard.KeyHold('A'));
    EXPECT_FALSE(keyboard.KeyUp('A'));
}

TEST_F(KeyboardTest, OutOfRangeCodesAreNeverHeld) {
    for (int key : {255, 256, -1, 1000}) {
        keyboard.SetKeyHold(key, true);
        keyboard.SetKeyDown(key, true);
        EXPECT_FALSE(keyboard.KeyHold(key)) << key;
        EXPECT_FALSE(keyboard.KeyDown(key)) << key;
        EXPECT_FALSE(keyboard.KeyUp(key)) << key;
    }
    host->SetKey(255, true);
    keyboard.Check();
    EXPECT_FALSE(keyboard.KeyHold(255));
}

TEST_F(KeyboardTest, AnyKeyAndSame) {
    keyboard.Check();
    EXPECT_TRUE(keyboard.Same());
    EXPECT_FALSE(keyboard.AnyKey());

    // Codes below 27 (mouse buttons, Enter, Shift ...) and above 192 do not count.
    host->SetKey(VK_RETURN, true);
    host->SetKey(VK_LBUTTON, true);
    host->SetKey(219, true);
    keyboard.Check();
    EXPECT_FALSE(keyboard.Same());
    EXPECT_FALSE(keyboard.AnyKey());
    keyboard.Check();
    EXPECT_TRUE(keyboard.Same());

    host->SetKey(192, true);
    keyboard.Check();
    EXPECT_TRUE(keyboard.AnyKey());
    keyboard.Check();  // still held, no new edge
    EXPECT_FALSE(keyboard.AnyKey());
    host->SetKey(VK_ESCAPE, true);
    keyboard.Check();
    EXPECT_TRUE(keyboard.AnyKey());
}

TEST_F(KeyboardTest, InitializeAndTeardownClearThePlatformTable) {
    host->SetKey('S', true);
    keyboard.Initialize();
    EXPECT_FALSE(keyboard.KeyHold('S'));
    BYTE table[256];
    GetKeyboardState(table);
    EXPECT_EQ(table['S'], 0);

    host->SetKey('S', true);
    { clsKeyboard other; }
    GetKeyboardState(table);
    EXPECT_EQ(table['S'], 0);
}

}  // namespace
