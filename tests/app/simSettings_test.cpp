// Runs the quadrix-sim program built beside the tests and reads its JSON back.
#include <gtest/gtest.h>

#include <regex>

#include "SimRun.h"

// A flat object of numbers and Booleans, one line: {"key":value,...}
static std::vector<std::pair<std::string, std::string>> Fields(const std::string& json) {
    static const std::regex whole(R"(^\{("\w+":(-?[0-9.e+-]+|true|false),?)*\}\n$)");
    static const std::regex field(R"re("(\w+)":([^,}]+))re");
    std::vector<std::pair<std::string, std::string>> out;
    if (!std::regex_match(json, whole)) return out;
    for (std::sregex_iterator i(json.begin(), json.end(), field), e; i != e; ++i)
        out.emplace_back((*i)[1], (*i)[2]);
    return out;
}

TEST(quadrixSim, EveryModePrintsTheWholeRecord) {
    for (const char* mode : kModes) {
        for (const char* level : {"", " --ouch"}) {
            const SimResult r =
                Sim(std::string("settings --screen 1280x1024 --mode ") + mode + level);
            ASSERT_EQ(r.status, 0) << mode << r.err;
            const auto fields = Fields(r.out);
            ASSERT_EQ(fields.size(), 47u) << r.out;
            EXPECT_EQ(fields.front().first, "gWellDecoration");
            EXPECT_EQ(fields[44].first, "gManColor3");
            EXPECT_EQ(fields.back().first, "gScreenHeight");
        }
    }
}

TEST(quadrixSim, FiguresOptionsAndSeeds) {
    auto has = [](const std::string& args, const std::string& text) {
        return Sim("settings --screen 1280x1024 " + args).out.find(text) != std::string::npos;
    };
    // FIN level 2, with the derived fields completed as set-up does: (106 - 5) x 12.
    EXPECT_TRUE(has("--mode cmdFinal --ouch", R"("gWellDecoration":40,)"));
    const std::string fin = Sim("settings --screen 1280x1024 --mode cmdFinal").out;
    for (const char* field : {R"("gWallsPerColumn":7.924528301886793,)", R"("gCellWidth":12,)",
                              R"("gWellRight":1212,)"})
        EXPECT_NE(fin.find(field), std::string::npos) << field;
    EXPECT_TRUE(has("--mode cmdWork --solid --speed --pieces",
                    R"("gSolid":true,"gSpeedFactor":1.1,"gPiecesOff":false,)"));
    const std::string dont = "settings --mode cmdDont --screen 1280x1024";
    EXPECT_EQ(Sim(dont).out, Sim(dont + " --seed 12345").out);  // the default seed
    EXPECT_NE(Sim(dont + " --seed 7").out, Sim(dont + " --seed 8").out);
}
