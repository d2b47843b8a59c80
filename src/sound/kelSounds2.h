// A sound a voice slot holds. This program has no sound output, so every call is accepted
// and does nothing; the signatures fix what a real sound would be given.
#pragma once

#include <any>
#include <cstdint>
#include <string>

class kelSounds2 {
  public:
    void Add(const std::string& pFileName);
    void Initialize(const std::any& pDS, uint8_t pNumber, const bool& pRandom = false);
    void Play(int16_t pPan, int16_t pFrequency, int16_t pVolume, const bool& pLoop = false);
    void Stopz();
    void Volume(int16_t pVolume);
    void Frequency(int16_t pFrequency);
    int16_t Count() const;
    bool Playing() const;
};
