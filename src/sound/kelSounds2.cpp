#include "sound/kelSounds2.h"

void kelSounds2::Add(const std::string&) {}

void kelSounds2::Initialize(const std::any&, uint8_t, const bool&) {}

void kelSounds2::Play(int16_t, int16_t, int16_t, const bool&) {}

void kelSounds2::Stopz() {}

void kelSounds2::Volume(int16_t) {}

void kelSounds2::Frequency(int16_t) {}

int16_t kelSounds2::Count() const {
    return 0;
}

bool kelSounds2::Playing() const {
    return false;
}
