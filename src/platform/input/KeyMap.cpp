#include "platform/input/KeyMap.h"

#include <cctype>

#include "platform/input/Keys.h"

namespace platform {

namespace {

struct Entry {
    std::string_view name;
    int vk;
};

constexpr Entry kTable[] = {
    {"Left", VK_LEFT},
    {"Up", VK_UP},
    {"Right", VK_RIGHT},
    {"Down", VK_DOWN},
    {"Escape", VK_ESCAPE},
    {"Return", VK_RETURN},
    {"Keypad Enter", VK_RETURN},
    {"Space", VK_SPACE},
    {"Backspace", VK_BACK},
    {"Tab", VK_TAB},
    {"Left Shift", VK_LSHIFT},
    {"Right Shift", VK_RSHIFT},
    {"Left Ctrl", VK_LCONTROL},
    {"Right Ctrl", VK_RCONTROL},
    {"Left Alt", VK_LMENU},
    {"Right Alt", VK_RMENU},
    {"Shift", VK_SHIFT},
    {"Ctrl", VK_CONTROL},
    {"Alt", VK_MENU},
    {"Mouse Left", VK_LBUTTON},
    {"Mouse Right", VK_RBUTTON},
    {"Mouse Middle", VK_MBUTTON},
    {"Pause", 19},
    {"CapsLock", 20},
    {"PageUp", 33},
    {"PageDown", 34},
    {"End", 35},
    {"Home", 36},
    {"Insert", 45},
    {"Delete", 46},
    {"Keypad 0", 96},
    {"Keypad 1", 97},
    {"Keypad 2", 98},
    {"Keypad 3", 99},
    {"Keypad 4", 100},
    {"Keypad 5", 101},
    {"Keypad 6", 102},
    {"Keypad 7", 103},
    {"Keypad 8", 104},
    {"Keypad 9", 105},
    {"Keypad *", 106},
    {"Keypad +", 107},
    {"Keypad -", 109},
    {"Keypad .", 110},
    {"Keypad /", 111},
    {"F1", 112},
    {"F2", 113},
    {"F3", 114},
    {"F4", 115},
    {"F5", 116},
    {"F6", 117},
    {"F7", 118},
    {"F8", 119},
    {"F9", 120},
    {"F10", 121},
    {"F11", 122},
    {"F12", 123},
    // Punctuation as on a US layout, where the old codes were named.
    {";", 186},
    {"=", 187},
    {",", 188},
    {"-", 189},
    {".", 190},
    {"/", 191},
    {"`", 192},
    {"[", 219},
    {"\\", 220},
    {"]", 221},
    {"'", 222},
};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

int VirtualKeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(name[0]);
        if (std::isalpha(c)) return std::toupper(c);
        if (std::isdigit(c)) return c;
    }
    for (const Entry& e : kTable) {
        if (SameIgnoringCase(e.name, name)) return e.vk;
    }
    return 0;
}

std::string_view NameOfVirtualKey(int vk) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static const char kDigits[] = "0123456789";
    if (vk >= 'A' && vk <= 'Z') return std::string_view(kLetters + (vk - 'A'), 1);
    if (vk >= '0' && vk <= '9') return std::string_view(kDigits + (vk - '0'), 1);
    for (const Entry& e : kTable) {
        if (e.vk == vk) return e.name;
    }
    return {};
}

int SideNeutralKey(int vk) {
    switch (vk) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return vk;
    }
}

int OtherSideKey(int vk) {
    switch (vk) {
        case VK_LSHIFT:
            return VK_RSHIFT;
        case VK_RSHIFT:
            return VK_LSHIFT;
        case VK_LCONTROL:
            return VK_RCONTROL;
        case VK_RCONTROL:
            return VK_LCONTROL;
        case VK_LMENU:
            return VK_RMENU;
        case VK_RMENU:
            return VK_LMENU;
        default:
            return vk;
    }
}

}  // namespace platform
