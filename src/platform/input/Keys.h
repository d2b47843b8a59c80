// The 256-entry virtual-key state table: bit 7 = held, bit 0 toggles on every press.
#pragma once

#include <cstdint>

constexpr int VK_LBUTTON = 1;
constexpr int VK_RBUTTON = 2;
constexpr int VK_MBUTTON = 4;
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
// Letters and digits use their upper-case ASCII codes ('A' = 65 … 'Z' = 90, '0' = 48 … '9' = 57).
// The letters the game reads by code: steering on W, A, S, D and the win key Q.
constexpr int VK_A = 'A';
constexpr int VK_D = 'D';
constexpr int VK_Q = 'Q';
constexpr int VK_S = 'S';
constexpr int VK_W = 'W';

using BYTE = uint8_t;

// Both copy the whole 256-byte table; they return nonzero on success.
int GetKeyboardState(BYTE* table256);
int SetKeyboardState(const BYTE* table256);
