// Keyboard state with edge detection for a polling game. Polled once per loop pass through
// Check(); between two checks every answer stays the same.
#pragma once

#include <array>
#include <cstdint>

class clsKeyboard {
  public:
    clsKeyboard() = default;
    // Clears the platform's key table again, so no key stays held after we are gone.
    ~clsKeyboard();
    clsKeyboard(const clsKeyboard&) = delete;
    clsKeyboard& operator=(const clsKeyboard&) = delete;

    // Clears the platform table and our state, then takes a first check.
    void Initialize();
    // Reads the platform table and recomputes every key.
    void Check();
    // Reads the platform table as if it had not changed since the check before: no edges.
    // A game starts from this, so its first pass does not depend on what the title saw.
    void Settle();

    // Key codes are 0 to 254; any other code is never held, and writes to it are ignored.
    bool KeyHold(int key) const;
    // Injected input: lasts until the next Check.
    void SetKeyHold(int key, bool hold);
    // Went down at the last check.
    bool KeyDown(int key) const;
    // True fakes a press until the next Check; false withdraws a down edge, leaving the key
    // held if it was.
    void SetKeyDown(int key, bool down);
    // Went up at the last check.
    bool KeyUp(int key) const;
    // The raw table did not change between the last two checks.
    bool Same() const;
    // Some key from 27 to 192 went down at the last check.
    bool AnyKey() const;

    static constexpr int kKeyCount = 255;  // codes 0..254

  private:
    static bool Valid(int key) { return key >= 0 && key < kKeyCount; }

    std::array<uint8_t, 256> mKeys{};
    std::array<uint8_t, kKeyCount> mToggles{};
    std::array<bool, kKeyCount> mHold{};
    std::array<bool, kKeyCount> mHoldBefore{};
    std::array<uint8_t, 256> mSnapshot{};
};
