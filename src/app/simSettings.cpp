#include "app/simSettings.h"

#include "app/simArgs.h"
#include "title/modModeArgs.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string_view>
#include <variant>

#include "main/GameSettings.h"
#include "main/modMain.h"
#include "platform/NumberText.h"
#include "platform/Random.h"
#include "title/modModes.h"

namespace {

struct Colour {
    const COLORREF* value;
};
using FieldRef = std::variant<const int32_t*, const double*, const bool*, Colour>;
struct Field {
    const char* name;
    FieldRef ref;
};

// Declaration order of the record.
const Field kFields[] = {
    {"gWellDecoration", &gWellDecoration},
    {"gLineWidth", &gLineWidth},
    {"gCellWidthLines", &gCellWidthLines},
    {"gCellWidth", &gCellWidth},
    {"gLineHeight", &gLineHeight},
    {"gCellHeightLines", &gCellHeightLines},
    {"gCellHeight", &gCellHeight},
    {"gColumns", &gColumns},
    {"gRows", &gRows},
    {"gWellMarginColumns", &gWellMarginColumns},
    {"gWellMarginRows", &gWellMarginRows},
    {"gWallLength", &gWallLength},
    {"gWallsPerRow", &gWallsPerRow},
    {"gWallsPerColumn", &gWallsPerColumn},
    {"gWellLeft", &gWellLeft},
    {"gWellTop", &gWellTop},
    {"gWellRight", &gWellRight},
    {"gWellBottom", &gWellBottom},
    {"gRandomDirections", &gRandomDirections},
    {"gFrameMs", &gFrameMs},
    {"gElectric", &gElectric},
    {"gAnarchy", &gAnarchy},
    {"gSolid", &gSolid},
    {"gSpeedFactor", &gSpeedFactor},
    {"gPiecesOff", &gPiecesOff},
    {"gNormalColor1", Colour{&gNormalColor1}},
    {"gNormalColor2", Colour{&gNormalColor2}},
    {"gNormalColor3", Colour{&gNormalColor3}},
    {"gNormalColor4", Colour{&gNormalColor4}},
    {"gAltColor1", Colour{&gAltColor1}},
    {"gAltColor2", Colour{&gAltColor2}},
    {"gAltColor3", Colour{&gAltColor3}},
    {"gAltColor4", Colour{&gAltColor4}},
    {"gWallColorMode", &gWallColorMode},
    {"gWallLeftColorA", Colour{&gWallLeftColorA}},
    {"gWallLeftColorB", Colour{&gWallLeftColorB}},
    {"gWallRightColorA", Colour{&gWallRightColorA}},
    {"gWallRightColorB", Colour{&gWallRightColorB}},
    {"gWallUpColorA", Colour{&gWallUpColorA}},
    {"gWallUpColorB", Colour{&gWallUpColorB}},
    {"gWallDownColorA", Colour{&gWallDownColorA}},
    {"gWallDownColorB", Colour{&gWallDownColorB}},
    {"gManColor1", Colour{&gManColor1}},
    {"gManColor2", Colour{&gManColor2}},
    {"gManColor3", Colour{&gManColor3}},
    {"gScreenWidth", &gScreenWidth},
    {"gScreenHeight", &gScreenHeight},
};

// Shortest text that reads back as the same double; JSON has no NaN or infinity.
std::string DoubleText(double v) {
    if (!std::isfinite(v)) return "null";
    return ShortestText(v);
}

struct ValueText {
    std::string operator()(const int32_t* v) const { return std::to_string(*v); }
    std::string operator()(const double* v) const { return DoubleText(*v); }
    std::string operator()(const bool* v) const { return *v ? "true" : "false"; }
    std::string operator()(Colour c) const { return std::to_string(*c.value); }
};

const char kUsage[] =
    "usage: quadrix-sim settings --mode NAME --screen WxH [--ouch] [--anarchy] [--solid]\n"
    "                            [--pieces] [--speed] [--seed N]\n"
    "  Prints the settings record a mode sets up on that screen, as JSON.\n";

int Fail(std::ostream& err, const std::string& reason) {
    err << "quadrix-sim settings: " << reason << "\n" << kUsage << ModeArgsUsage();
    return 2;
}

}  // namespace

std::string SettingsJson() {
    std::string json = "{";
    bool first = true;
    for (const Field& f : kFields) {
        if (!first) json += ',';
        first = false;
        json += '"';
        json += f.name;
        json += "\":";
        json += std::visit(ValueText{}, f.ref);
    }
    json += '}';
    return json;
}

int RunSettings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    GameChoice choice;
    std::optional<std::pair<int32_t, int32_t>> screen;
    uint64_t seed = kDefaultSeed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        std::string error;
        const ArgTaken taken = TakeModeArg(args, i, choice, error);
        if (taken == ArgTaken::Bad) return Fail(err, error);
        if (taken == ArgTaken::Yes) continue;
        if (a == "--help" || a == "-h") {
            out << kUsage << ModeArgsUsage();
            return 0;
        } else if (a == "--screen") {
            if (!hasValue) return Fail(err, "--screen needs WxH");
            int32_t w = 0, h = 0;
            if (!ParseScreen(args[++i], w, h)) return Fail(err, BadScreen(args[i]));
            screen = {w, h};
        } else if (a == "--seed") {
            if (!hasValue || !ParseWhole(std::string_view(args[i + 1]), seed)) {
                return Fail(err, kBadSeed);
            }
            ++i;
        } else {
            return Fail(err, "unknown argument '" + a + "'");
        }
    }
    if (!choice.mode) return Fail(err, "--mode is required");
    if (!screen) return Fail(err, "--screen is required");

    quadrix::SharedRandom().Seed(seed);
    gScreenWidth = screen->first;
    gScreenHeight = screen->second;
    // The option boxes are in step before a mode button is pressed, as on the title screen.
    ApplyChoice(choice);
    if (!CompleteSettings()) {
        err << "quadrix-sim settings: the playfield for this screen does not fit 32 bits\n";
        return 1;
    }
    out << SettingsJson() << "\n";
    return 0;
}
