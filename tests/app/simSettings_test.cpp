// Runs the quadrix-sim program built beside the tests and reads its JSON back.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path SimPath() {
    if (const char* env = std::getenv("QUADRIX_SIM")) return env;
    // tests/test_app -> ../quadrix-sim
    return fs::canonical("/proc/self/exe").parent_path().parent_path() / "quadrix-sim";
}

struct SimResult {
    int status;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

SimResult Sim(const std::string& args) {
    const fs::path dir = fs::temp_directory_path();
    const fs::path out = dir / ("qxsim-out-" + std::to_string(::getpid()));
    const fs::path err = dir / ("qxsim-err-" + std::to_string(::getpid()));
    const std::string cmd =
        SimPath().string() + " " + args + " >" + out.string() + " 2>" + err.string();
    const int raw = std::system(cmd.c_str());
    SimResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
    fs::remove(out);
    fs::remove(err);
    return r;
}

// A flat JSON object of numbers and Booleans: keys in order, values as text.
bool ParseFlat(const std::string& text, std::vector<std::pair<std::string, std::string>>& out) {
    size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    };
    skip();
    if (i >= text.size() || text[i++] != '{') return false;
    while (true) {
        skip();
        if (i >= text.size() || text[i++] != '"') return false;
        const size_t end = text.find('"', i);
        if (end == std::string::npos) return false;
        std::string key = text.substr(i, end - i);
        i = end + 1;
        skip();
        if (i >= text.size() || text[i++] != ':') return false;
        skip();
        const size_t start = i;
        while (i < text.size() && text[i] != ',' && text[i] != '}')
            ++i;
        std::string value = text.substr(start, i - start);
        while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) {
            value.pop_back();
        }
        if (value != "true" && value != "false") {
            char* endp = nullptr;
            std::strtod(value.c_str(), &endp);
            if (value.empty() || *endp != '\0') return false;
        }
        out.emplace_back(key, value);
        if (i >= text.size()) return false;
        if (text[i++] == '}') break;
    }
    skip();
    return i == text.size();
}

const std::vector<std::string> kKeys = {
    "gWellDecoration",    "gLineWidth",       "gCellWidthLines",
    "gCellWidth",         "gLineHeight",      "gCellHeightLines",
    "gCellHeight",        "gColumns",         "gRows",
    "gWellMarginColumns", "gWellMarginRows",  "gWallLength",
    "gWallsPerRow",       "gWallsPerColumn",  "gWellLeft",
    "gWellTop",           "gWellRight",       "gWellBottom",
    "gRandomDirections",  "gFrameMs",         "gElectric",
    "gAnarchy",           "gSolid",           "gSpeedFactor",
    "gPiecesOff",         "gNormalColor1",    "gNormalColor2",
    "gNormalColor3",      "gNormalColor4",    "gAltColor1",
    "gAltColor2",         "gAltColor3",       "gAltColor4",
    "gWallColorMode",     "gWallLeftColorA",  "gWallLeftColorB",
    "gWallRightColorA",   "gWallRightColorB", "gWallUpColorA",
    "gWallUpColorB",      "gWallDownColorA",  "gWallDownColorB",
    "gManColor1",         "gManColor2",       "gManColor3",
    "gScreenWidth",       "gScreenHeight",
};

const char* kModes[] = {"cmdCasual",     "cmdDont",   "cmdElectric", "cmdFinal",
                        "cmdFun",        "cmdMini",   "cmdNoRules",  "cmdOuch",
                        "cmdRidiculous", "cmdSpeedy", "cmdVertigo",  "cmdWork"};

std::map<std::string, std::string> Record(const std::string& args) {
    const SimResult r = Sim("settings " + args);
    EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
    std::vector<std::pair<std::string, std::string>> fields;
    EXPECT_TRUE(ParseFlat(r.out, fields)) << r.out;
    return {fields.begin(), fields.end()};
}

long Num(const std::map<std::string, std::string>& m, const std::string& key) {
    return std::stol(m.at(key));
}

TEST(quadrixSim, EveryModePrintsTheWholeRecord) {
    ASSERT_TRUE(fs::exists(SimPath())) << SimPath() << " is built with the project";
    for (const char* mode : kModes) {
        for (const char* level : {"", " --ouch"}) {
            const std::string args =
                std::string("settings --mode ") + mode + level + " --screen 1280x1024";
            const SimResult r = Sim(args);
            ASSERT_EQ(r.status, 0) << args << "\n" << r.err;
            EXPECT_TRUE(r.err.empty()) << r.err;
            std::vector<std::pair<std::string, std::string>> fields;
            ASSERT_TRUE(ParseFlat(r.out, fields)) << args << "\n" << r.out;
            ASSERT_EQ(fields.size(), kKeys.size()) << args;
            for (size_t i = 0; i < kKeys.size(); ++i)
                EXPECT_EQ(fields[i].first, kKeys[i]);

            const std::map<std::string, std::string> m(fields.begin(), fields.end());
            // Derived fields completed as the game set-up does.
            EXPECT_EQ(Num(m, "gCellWidth"), Num(m, "gLineWidth") * Num(m, "gCellWidthLines"));
            EXPECT_EQ(Num(m, "gWellRight"),
                      (Num(m, "gColumns") - Num(m, "gWellMarginColumns")) * Num(m, "gCellWidth"));
            EXPECT_EQ(Num(m, "gWellTop"), Num(m, "gWellMarginRows") * Num(m, "gCellHeight"));
            EXPECT_EQ(m.at("gSpeedFactor"), "1");
            EXPECT_EQ(m.at("gPiecesOff"), "true");
        }
    }
}

TEST(quadrixSim, ModeFiguresAndOptions) {
    auto fin = Record("--mode cmdFinal --ouch --screen 1280x1024");
    EXPECT_EQ(fin.at("gColumns"), "106");
    EXPECT_EQ(fin.at("gRows"), "84");
    EXPECT_EQ(fin.at("gWellDecoration"), "40");
    EXPECT_EQ(fin.at("gWallsPerColumn"), "7.924528301886793");
    EXPECT_EQ(fin.at("gNormalColor2"), "255");

    auto fun = Record("--mode cmdFun --ouch --screen 1280x1024");
    EXPECT_EQ(fun.at("gColumns"), "62");
    EXPECT_EQ(fun.at("gWallsPerRow"), "8.857142857142858");

    auto opts = Record("--anarchy --solid --speed --pieces --mode cmdWork --screen 1024x768");
    EXPECT_EQ(opts.at("gAnarchy"), "true");
    EXPECT_EQ(opts.at("gSolid"), "true");
    EXPECT_EQ(opts.at("gSpeedFactor"), "1.1");
    EXPECT_EQ(opts.at("gPiecesOff"), "false");
    EXPECT_EQ(opts.at("gColumns"), "56");
    EXPECT_EQ(opts.at("gScreenWidth"), "1024");

    auto small = Record("--mode cmdFinal --screen 640x480");
    EXPECT_EQ(small.at("gLineWidth"), "1");
    EXPECT_EQ(small.at("gCellWidth"), "6");
}

TEST(quadrixSim, DontIsReproducibleBySeed) {
    const std::string args = "settings --mode cmdDont --screen 1280x1024";
    const SimResult a = Sim(args + " --seed 7");
    const SimResult b = Sim(args + " --seed 7");
    const SimResult c = Sim(args + " --seed 8");
    const SimResult d1 = Sim(args);
    const SimResult d2 = Sim(args);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out, c.out);
    EXPECT_EQ(d1.out, d2.out);
}

TEST(quadrixSim, BadArgumentsExitWithStatusTwo) {
    for (const char* args : {
             "",
             "play",
             "settings",
             "settings --screen 1280x1024",
             "settings --mode cmdCasual",
             "settings --mode cmdNothing --screen 1280x1024",
             "settings --mode cmdCasual --screen 1280",
             "settings --mode cmdCasual --screen 1280x",
             "settings --mode cmdCasual --screen x1024",
             "settings --mode cmdCasual --screen 0x1024",
             "settings --mode cmdCasual --screen -5x1024",
             "settings --mode cmdCasual --screen 99999x1024",
             "settings --mode cmdCasual --screen 12x34x56",
             "settings --mode cmdCasual --screen 1280x1024 --fast",
             "settings --mode cmdCasual --screen 1280x1024 --seed",
             "settings --mode cmdCasual --screen 1280x1024 --seed 12abc",
             "settings --mode cmdCasual --screen 1280x1024 --seed -1",
             "settings --mode",
         }) {
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.out.empty()) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
}

}  // namespace
