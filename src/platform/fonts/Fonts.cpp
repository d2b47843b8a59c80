#include "platform/fonts/Fonts.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/Error.h"
#include "platform/Numbers.h"
#include "platform/files/ProgramFolder.h"
#include "platform/fonts/FontEngine.h"

namespace platform {
namespace fonts {

std::vector<std::string> FontFolders() {
    return {ProgramFolder() + "/fonts", "/usr/share/fonts/truetype/dejavu"};
}

std::string FindFontFile(const std::string& name, const std::vector<std::string>& folders) {
    std::string tried;
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + name;
        if (access(path.c_str(), R_OK) == 0) return path;
        tried += (tried.empty() ? "" : ", ") + path;
    }
    throw Error(kObjectError1, "The font " + name + " is missing: none of " + tried +
                                   " can be read (Debian ships it in fonts-dejavu-core).");
}

}  // namespace fonts

std::string ResolveFontFile(bool bold, bool italic) {
    const char* name = bold ? (italic ? "DejaVuSans-BoldOblique.ttf" : "DejaVuSans-Bold.ttf")
                            : (italic ? "DejaVuSans-Oblique.ttf" : "DejaVuSans.ttf");
    return fonts::FindFontFile(name, fonts::FontFolders());
}

LOGFONTA MakeLogFont(const std::string& family, double points, bool bold, bool italic) {
    LOGFONTA lf{};
    lf.lfHeight = -Nearest(points * 96.0 / 72.0);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? 1 : 0;
    size_t n = std::min(family.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::memcpy(lf.lfFaceName, family.data(), n);
    lf.lfFaceName[n] = '\0';
    return lf;
}

TextExtent MeasureText(const LOGFONTA& font, const std::string& text) {
    return {fonts::TextWidth(font, text), fonts::FontLineMetrics(font).height};
}

}  // namespace platform

HFONT CreateFontIndirectA(const LOGFONTA* logfont) {
    if (!logfont) return nullptr;
    LOGFONTA lf = *logfont;
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';  // a face name without its terminator stays in bounds
    return new Font(lf);
}
