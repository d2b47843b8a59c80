#include "platform/input/KeyTable.h"

#include <cstring>

#include "platform/input/KeyMap.h"

namespace platform {

namespace {
bool Valid(int vk) {
    return vk > 0 && vk < 256;
}
}  // namespace

void KeyTable::Down(int vk) {
    if (!(table_[vk] & 0x80)) table_[vk] ^= 0x01;
    table_[vk] |= 0x80;
}

void KeyTable::Up(int vk) {
    table_[vk] &= static_cast<uint8_t>(~0x80);
}

void KeyTable::Press(int vk) {
    if (!Valid(vk)) return;
    Down(vk);
    // A left or right Shift/Ctrl/Alt also holds the side-neutral code, as the old driver did.
    const int generic = SideNeutralKey(vk);
    if (generic != vk) Down(generic);
}

void KeyTable::Release(int vk) {
    if (!Valid(vk)) return;
    Up(vk);
    const int generic = SideNeutralKey(vk);
    if (generic == vk) return;
    const int other = OtherSideKey(vk);
    if (!Held(other)) Up(generic);
}

bool KeyTable::Held(int vk) const {
    return Valid(vk) && (table_[vk] & 0x80) != 0;
}

void KeyTable::Get(uint8_t* table256) const {
    std::memcpy(table256, table_.data(), 256);
}

void KeyTable::Set(const uint8_t* table256) {
    std::memcpy(table_.data(), table256, 256);
}

}  // namespace platform
