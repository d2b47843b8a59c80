// The title screen's layout through quadrix-sim layout, on the screens players have.
#include <gtest/gtest.h>

#include <array>

#include "SimRun.h"

struct Placed {
    std::string name;
    int left, top, right, bottom;
};

static std::vector<Placed> Controls(const std::string& json) {
    std::vector<Placed> controls;
    for (size_t at = json.find("{\"name\":"); at != std::string::npos;
         at = json.find("{\"name\":", at + 1)) {
        const std::string c = json.substr(at, json.find('}', at) - at + 1);
        const int left = std::stoi(Value(c, "left")), top = std::stoi(Value(c, "top"));
        controls.push_back({Value(c, "name"), left, top, left + std::stoi(Value(c, "width")),
                            top + std::stoi(Value(c, "height"))});
    }
    return controls;
}

// Every control a player uses lies wholly on the screen and no two overlap.
TEST(TitleLayout, EveryControlOnEveryScreen) {
    const std::array<int, 3> screens[] = {
        // width, height, line (0: not checked)
        {1280, 1024, 4}, {800, 600, 2},   {1024, 768, 3},  {1280, 720, 3},  {1280, 800, 3},
        {1366, 768, 3},  {1440, 900, 4},  {1600, 900, 4},  {1680, 1050, 4}, {1920, 1080, 4},
        {1920, 1200, 5}, {2560, 1080, 4}, {2560, 1440, 6}, {3440, 1440, 6}, {3840, 2160, 9},
    };
    for (const auto& [w, h, line] : screens) {
        const std::string screen = std::to_string(w) + "x" + std::to_string(h);
        SCOPED_TRACE(screen);
        const SimResult r = Sim("layout --screen " + screen);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Value(r.out, "line"), std::to_string(line));
        const std::vector<Placed> controls = Controls(r.out);
        ASSERT_EQ(controls.size(), 19u);  // twelve modes, five boxes, the slider, "About..."
        for (size_t i = 0; i < controls.size(); ++i) {
            const Placed& a = controls[i];
            EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= w && a.bottom <= h) << a.name;
            for (size_t j = i + 1; j < controls.size(); ++j) {
                const Placed& b = controls[j];
                EXPECT_TRUE(a.right <= b.left || b.right <= a.left || a.bottom <= b.top ||
                            b.bottom <= a.top)
                    << a.name << " overlaps " << b.name;
            }
        }
    }
}
