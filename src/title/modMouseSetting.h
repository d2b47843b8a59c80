// The mouse setting kept between runs: the one value the program stores.
#pragma once

#include <cstdint>
#include <string>

// Where it is kept: application "Quadrix_1_1", section "Main", key "Mouse".
std::string MouseSettingApp();
// The stored text as a setting: a whole number from 0 to 199, else 100.
int32_t MouseSettingFromText(const std::string& text);

// The program's start: gMouse from the store (100 when nothing usable is stored; a damaged
// store is said on stderr).
void LoadMouseSetting();
// The program's end: gMouse into the store. A save that fails loses only this run's value: it
// is said and the program goes on ending.
void SaveMouseSetting();
