// The one table from back-end-neutral key names to the old virtual-key codes. The names are
// the key names SDL reports (SDL_GetKeyName), so the SDL back end looks keys up by name; the
// headless script uses the same names.
#pragma once

#include <string_view>

namespace platform {

constexpr int VK_LSHIFT = 160;
constexpr int VK_RSHIFT = 161;
constexpr int VK_LCONTROL = 162;
constexpr int VK_RCONTROL = 163;
constexpr int VK_LMENU = 164;
constexpr int VK_RMENU = 165;

// 0 when the name is not in the table. Letters and digits map to their upper-case ASCII code
// whatever the case of the name.
int VirtualKeyFromName(std::string_view name);
// The table's name for a code, or an empty view.
std::string_view NameOfVirtualKey(int vk);

// VK_SHIFT for either Shift key and so on; other codes map to themselves.
int SideNeutralKey(int vk);
// VK_RSHIFT for VK_LSHIFT and so on; other codes map to themselves.
int OtherSideKey(int vk);

}  // namespace platform
