// The virtual-key state table as the old keyboard driver kept it. Both back ends feed it.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

class KeyTable {
  public:
    // A key-down transition toggles bit 0; repeats of a held key do not.
    void Press(int vk);
    void Release(int vk);
    bool Held(int vk) const;
    void Get(uint8_t* table256) const;
    void Set(const uint8_t* table256);
    void Clear() { table_.fill(0); }

  private:
    void Down(int vk);
    void Up(int vk);
    std::array<uint8_t, 256> table_{};
};

}  // namespace platform
