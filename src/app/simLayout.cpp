#include "app/simLayout.h"

#include <ostream>

#include "app/simArgs.h"
#include "main/modMain.h"
#include "platform/headless/Headless.h"
#include "platform/window/ControlPaint.h"
#include "title/frmTitle.h"

namespace {

const char kUsage[] =
    "usage: quadrix-sim layout --screen WxH\n"
    "  Lays the title screen out for that screen and prints its line thickness, cell size and\n"
    "  controls (name, caption, left, top, width, height in pixels) as one JSON object.\n";

int Fail(std::ostream& err, const std::string& reason) {
    err << "quadrix-sim layout: " << reason << "\n" << kUsage;
    return 2;
}

}  // namespace

int RunLayout(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int32_t w = 0, h = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            out << kUsage;
            return 0;
        }
        if (args[i] != "--screen") return Fail(err, "unknown argument '" + args[i] + "'");
        if (i + 1 >= args.size()) return Fail(err, "--screen needs WxH");
        if (!ParseScreen(args[++i], w, h)) return Fail(err, BadScreen(args[i]));
    }
    if (w == 0) return Fail(err, "--screen is required");
    platform::UseHeadless().SetScreenSize(w, h);
    gScreenWidth = w;
    gScreenHeight = h;
    // Loading lays the window out; the painting waits for an activation, which never comes,
    // and nothing unloads it, which would store the mouse setting.
    frmTitle& title = TitleForm();
    title.Load();
    out << "{\"screen\":\"" << w << 'x' << h << "\",\"line\":" << title.LineThickness()
        << ",\"cell\":" << title.CellSize() << ",\"controls\":[";
    const char* comma = "";
    for (const platform::Control* c : title.PlayerControls()) {
        const auto* captioned = dynamic_cast<const platform::CaptionedControl*>(c);
        out << comma << "{\"name\":" << JsonText(c->Name()) << ",\"caption\":"
            << JsonText(captioned ? platform::DisplayCaption(captioned->Caption) : "")
            << ",\"left\":" << c->Left() << ",\"top\":" << c->Top() << ",\"width\":" << c->Width()
            << ",\"height\":" << c->Height() << "}";
        comma = ",";
    }
    out << "]}\n";
    return 0;
}
