#include "title/modMouseSetting.h"

#include <charconv>

#include "main/modMain.h"
#include "platform/Fatal.h"
#include "platform/settings/SettingsStore.h"

std::string MouseSettingApp() {
    return "Quadrix_" + std::to_string(kVersionMajor) + "_" + std::to_string(kVersionMinor);
}

int32_t MouseSettingFromText(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t\r\n");
    if (first == std::string::npos) return kMouseDefault;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    int32_t value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || value < 0 || value > 199) return kMouseDefault;
    return value;
}

void LoadMouseSetting() {
    std::string problem;
    const std::string text = platform::GetSetting(MouseSettingApp(), "Main", "Mouse",
                                                  std::to_string(kMouseDefault), &problem);
    if (!problem.empty()) platform::Warn(problem);
    gMouse = MouseSettingFromText(text);
}

void SaveMouseSetting() {
    std::string error;
    if (!platform::SaveSetting(MouseSettingApp(), "Main", "Mouse", std::to_string(gMouse), &error))
        platform::Warn(error);
}
