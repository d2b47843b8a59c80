#include "input/clsKeyboard.h"

#include <gtest/gtest.h>

#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"

namespace {

TEST(clsKeyboard, EdgesTapsAndInjection) {
    platform::Headless& host = platform::UseHeadless();
    clsKeyboard kb;
    kb.Initialize();
    host.SetKey('D', true);
    kb.Check();
    EXPECT_TRUE(kb.KeyDown('D'));
    kb.Check();
    EXPECT_TRUE(kb.KeyHold('D'));
    EXPECT_FALSE(kb.KeyDown('D'));
    host.SetKey('D', false);
    kb.Check();
    EXPECT_TRUE(kb.KeyUp('D'));
    EXPECT_FALSE(kb.KeyHold('D'));

    // A tap between two checks is held for one check (its toggle bit moved).
    host.SetKey(VK_SPACE, true);
    host.SetKey(VK_SPACE, false);
    kb.Check();
    EXPECT_TRUE(kb.KeyDown(VK_SPACE));
    kb.Check();
    EXPECT_TRUE(kb.KeyUp(VK_SPACE));

    kb.SetKeyHold('W', true);
    EXPECT_TRUE(kb.KeyHold('W'));
    kb.SetKeyDown(VK_ESCAPE, true);
    EXPECT_TRUE(kb.KeyDown(VK_ESCAPE));
    kb.Check();
    EXPECT_FALSE(kb.KeyHold('W'));
    EXPECT_TRUE(kb.KeyUp(VK_ESCAPE));

    // Codes outside 0..254 reach no array and are never held.
    host.SetKey(255, true);
    kb.Check();
    for (int key : {255, -1, 1000}) {
        kb.SetKeyHold(key, true);
        kb.SetKeyDown(key, true);
        EXPECT_FALSE(kb.KeyHold(key) || kb.KeyDown(key) || kb.KeyUp(key)) << key;
    }
}

TEST(clsKeyboard, AnyKeySameAndClearing) {
    platform::Headless& host = platform::UseHeadless();
    clsKeyboard kb;
    kb.Initialize();
    kb.Check();
    EXPECT_TRUE(kb.Same());
    // Below 27 (mouse buttons, Enter, Shift ...) and above 192 do not count.
    host.SetKey(VK_RETURN, true);
    host.SetKey(VK_LBUTTON, true);
    host.SetKey(219, true);
    kb.Check();
    EXPECT_FALSE(kb.Same());
    EXPECT_FALSE(kb.AnyKey());
    host.SetKey(192, true);
    kb.Check();
    EXPECT_TRUE(kb.AnyKey());
    kb.Check();
    EXPECT_FALSE(kb.AnyKey());
    EXPECT_TRUE(kb.Same());

    BYTE table[256];
    kb.Initialize();
    GetKeyboardState(table);
    EXPECT_EQ(table[192], 0);
    EXPECT_FALSE(kb.KeyHold(192));
    host.SetKey('S', true);
    { clsKeyboard other; }  // teardown clears the table too
    GetKeyboardState(table);
    EXPECT_EQ(table['S'], 0);
}

}  // namespace
