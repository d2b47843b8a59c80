#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "platform/Fatal.h"

// The exit steps run once, in order, each on its own: one that throws or ends (a Fatal
// inside) does not keep those before it from having run, and one that was dropped never runs.
TEST(Fatal, ExitStepsRunInOrderEachOnItsOwn) {
    EXPECT_EXIT(
        {
            platform::ExitStep first([] { throw std::runtime_error("disk gone"); });
            platform::ExitStep second([] { std::fputs("second\n", stderr); });
            {
                platform::ExitStep dropped([] { std::fputs("dropped\n", stderr); });
            }
            platform::ExitStep last([] { platform::Fatal(std::bad_alloc()); });
            platform::Fatal("it broke");
        },
        testing::ExitedWithCode(1),
        "^quadrix: it broke\nquadrix: on the way out: disk gone\nsecond\nquadrix: out of "
        "memory\n$");
}
