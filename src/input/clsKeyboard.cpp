#include "input/clsKeyboard.h"

#include "platform/input/Keys.h"

namespace {
// Handed to the platform to clear its table: every key up and untoggled.
constexpr std::array<uint8_t, 256> kBlank{};
}  // namespace

clsKeyboard::~clsKeyboard() {
    SetKeyboardState(kBlank.data());
}

void clsKeyboard::Initialize() {
    SetKeyboardState(kBlank.data());
    mKeys.fill(0);
    mToggles.fill(0);
    mHold.fill(false);
    mHoldBefore.fill(false);
    mSnapshot.fill(0);
    Check();
}

void clsKeyboard::Check() {
    mSnapshot = mKeys;
    GetKeyboardState(mKeys.data());
    for (int k = 0; k < kKeyCount; ++k) {
        mHoldBefore[k] = mHold[k];
        const uint8_t toggle = mKeys[k] & 1;
        if (mToggles[k] != toggle) {
            // The key was pressed since the last check, even if it is already up again:
            // count it as held once so a short tap is never lost.
            mToggles[k] = toggle;
            mHold[k] = true;
        } else {
            mHold[k] = (mKeys[k] & 0x80) != 0;
        }
    }
}

void clsKeyboard::Settle() {
    GetKeyboardState(mKeys.data());
    mSnapshot = mKeys;
    for (int k = 0; k < kKeyCount; ++k) {
        mToggles[k] = mKeys[k] & 1;
        mHold[k] = mHoldBefore[k] = (mKeys[k] & 0x80) != 0;
    }
}

bool clsKeyboard::KeyHold(int key) const {
    return Valid(key) && mHold[key];
}

void clsKeyboard::SetKeyHold(int key, bool hold) {
    if (Valid(key)) mHold[key] = hold;
}

bool clsKeyboard::KeyDown(int key) const {
    return Valid(key) && mHold[key] && !mHoldBefore[key];
}

void clsKeyboard::SetKeyDown(int key, bool down) {
    if (!Valid(key)) return;
    if (down) {
        mHoldBefore[key] = false;
        mHold[key] = true;
    } else if (mHold[key]) {
        mHoldBefore[key] = true;
    }
}

bool clsKeyboard::KeyUp(int key) const {
    return Valid(key) && mHoldBefore[key] && !mHold[key];
}

bool clsKeyboard::Same() const {
    for (int k = 0; k < kKeyCount; ++k) {
        if (mSnapshot[k] != mKeys[k]) return false;
    }
    return true;
}

bool clsKeyboard::AnyKey() const {
    for (int k = 27; k <= 192; ++k) {
        if (!mHoldBefore[k] && mHold[k]) return true;
    }
    return false;
}
