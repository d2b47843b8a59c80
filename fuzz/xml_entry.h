// One fuzz input through the XML reader: written to a file, read whole and with a target
// element, with a handler that checks what the reader promises. Shared by the libFuzzer target
// and the corpus replay test.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "text/modXML.h"

namespace xmlfuzz {

class CheckingHandler : public XMLHandler {
  public:
    void XMLCallBack(std::string& pTag, std::string& pText, std::vector<std::string>& pContext,
                     std::string& pErr) override {
        if (pContext.empty() || !pContext[0].empty() || !pErr.empty() || pTag.empty()) {
            std::abort();
        }
        ++events;
        // Some texts report a problem, so the handler-message path is exercised too.
        if (!pText.empty() && pText[0] == '!') pErr = "flagged";
    }
    size_t events = 0;
};

inline void CheckResult(const std::string& result) {
    static const std::string kHeader = "Errors encountered processing:";
    if (!result.empty() && result.compare(0, kHeader.size(), kHeader) != 0) std::abort();
}

inline bool IsBlankChar(char c) {
    return static_cast<unsigned char>(c) < 33;
}

// Returns the number of events seen, so callers can tell the input was read.
inline size_t ParseBytes(const uint8_t* data, size_t size, const std::string& tempPath) {
    {
        std::ofstream out(tempPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CheckingHandler whole;
    CheckResult(XMLParseFile(tempPath, "", whole));
    CheckingHandler target;
    CheckResult(XMLParseFile(tempPath, "<a>", target));

    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string collapsed = XMLCollapseBlank(XMLTrimBlank(text));
    if (!collapsed.empty() && (IsBlankChar(collapsed.front()) || IsBlankChar(collapsed.back()))) {
        std::abort();
    }
    return whole.events + target.events;
}

}  // namespace xmlfuzz
