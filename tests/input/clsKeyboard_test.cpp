#include "input/clsKeyboard.h"

#include <gtest/gtest.h>

#include "platform/headless/Headless.h"
#include "platform/input/Keys.h"

TEST(clsKeyboard, EdgesTapsInjectionAnyKeyAndClearing) {
    platform::Headless& host = platform::UseHeadless();
    clsKeyboard kb;
    kb.Initialize();
    // Step: press (+), release (-), tap between checks (t), initialise (i), make and drop a
    // second keyboard (x), each followed by a check; or write hold (h) or down (d), no check.
    // A cleared table moves the toggle bit, so the key is held for one more check. Then the
    // key's hold, down and up, AnyKey and Same as letters, '-' where clear.
    const std::tuple<char, int, const char*> steps[] = {
        {'.', 'D', "----s"},        {'+', 'D', "hd-a-"},       {'.', 'D', "h---s"},
        {'.', 'D', "h---s"},        {'-', 'D', "--u--"},       {'t', VK_SPACE, "hd-a-"},
        {'.', VK_SPACE, "--u-s"},   {'h', 'W', "hd-as"},       {'.', 'W', "--u-s"},
        {'d', VK_ESCAPE, "hd-as"},  {'.', VK_ESCAPE, "--u-s"}, {'+', VK_RETURN, "hd---"},
        {'+', VK_LBUTTON, "hd---"}, {'+', 219, "hd---"},       {'+', 192, "hd-a-"},
        {'i', 192, "----s"},        {'+', 'S', "hd-a-"},       {'x', 'S', "h----"},
        {'.', 'S', "--u-s"},        {'+', 255, "----s"},       {'h', 255, "----s"},
        {'d', 255, "----s"},        {'h', -1, "----s"},        {'d', -1, "----s"},
        {'h', 1000, "----s"},       {'d', 1000, "----s"},
    };
    for (const auto& [op, key, want] : steps) {
        SCOPED_TRACE(std::string(1, op) + std::to_string(key));
        if (op == '+' || op == 't') host.SetKey(key, true);
        if (op == '-' || op == 't') host.SetKey(key, false);
        if (op == 'h') kb.SetKeyHold(key, true);
        if (op == 'd') kb.SetKeyDown(key, true);
        if (op == 'i') kb.Initialize();
        if (op == 'x') clsKeyboard();  // its teardown clears the table
        if (op != 'h' && op != 'd') kb.Check();
        const std::string flags = {kb.KeyHold(key) ? 'h' : '-', kb.KeyDown(key) ? 'd' : '-',
                                   kb.KeyUp(key) ? 'u' : '-', kb.AnyKey() ? 'a' : '-',
                                   kb.Same() ? 's' : '-'};
        EXPECT_EQ(flags, want);
    }
}
