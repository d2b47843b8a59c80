#include "app/simLayout.h"

#include <filesystem>
#include <ostream>

#include "app/simArgs.h"
#include "main/modMain.h"
#include "platform/headless/Headless.h"
#include "platform/window/Application.h"
#include "platform/window/ControlPaint.h"
#include "program/Program.h"
#include "title/frmTitle.h"

namespace {

const char kUsage[] =
    "usage: quadrix-sim layout --screen WxH [--frame FILE [--seed N]]\n"
    "  Lays the title screen out for that screen and prints its line thickness, cell size and\n"
    "  controls (name, caption, left, top, width, height in pixels) as one JSON object.\n"
    "  --frame writes the first frame of the title's loop as a BMP file, drawn as the program\n"
    "  starts with its random source seeded with N (default 1) and the stored mouse setting.\n";

int Fail(std::ostream& err, const std::string& reason) {
    err << "quadrix-sim layout: " << reason << "\n" << kUsage;
    return 2;
}

}  // namespace

int RunLayout(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int32_t w = 0, h = 0;
    std::string frame;
    uint64_t seed = 1;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            out << kUsage;
            return 0;
        }
        const std::string& a = args[i];
        if (a != "--screen" && a != "--frame" && a != "--seed")
            return Fail(err, "unknown argument '" + a + "'");
        if (i + 1 >= args.size()) return Fail(err, a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--screen" && !ParseScreen(v, w, h)) return Fail(err, BadScreen(v));
        if (a == "--seed" && !ParseWhole(std::string_view(v), seed))
            return Fail(err, "--seed takes a whole number, not '" + v + "'");
        if (a == "--frame") frame = v;
    }
    if (w == 0) return Fail(err, "--screen is required");
    platform::Headless& headless = platform::UseHeadless();
    headless.SetScreenSize(w, h);
    gScreenWidth = w;
    gScreenHeight = h;
    frmTitle& title = TitleForm();
    if (frame.empty()) {
        // Loading lays the window out; the painting waits for an activation, which never comes,
        // and nothing unloads it, which would store the mouse setting.
        title.Load();
    } else {
        // The first frame of its loop, the first with the painting: the title's second.
        const std::string frames = frame + ".frames";
        std::error_code ec;
        std::filesystem::create_directories(frames, ec);
        headless.SetDumpFolder(frames);
        headless.SetPassLimit(3);
        try {
            Main(seed);
            platform::Application::Get().RunMessageLoop();
        } catch (const platform::HeadlessLimit&) {
        }
        std::filesystem::rename(frames + "/frame-000002.bmp", frame, ec);
        std::filesystem::remove_all(frames);
        if (ec) return Fail(err, "cannot write the frame to " + frame + ": " + ec.message());
    }
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
