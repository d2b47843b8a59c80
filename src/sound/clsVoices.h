// The sound front end: five slots (1 to 5), one sound playing at a time.
#pragma once

#include <any>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/kelSounds2.h"

// The sound device handed to every new sound; nothing in this program opens one.
inline std::any gSoundDevice;

class clsVoices {
  public:
    // Five empty slots.
    void Initialize();
    // Stops the current sound and plays slot pIndex. An index outside 1 to 5 or an empty slot
    // is ignored: nothing stops and nothing starts.
    void Play(const int32_t& pIndex, const int16_t& pPan, int16_t pFrequency, int16_t pVolume,
              bool pLoop);
    void Stopz();
    const std::shared_ptr<kelSounds2>& Current() const { return mCurrent; }
    void SetCurrent(std::shared_ptr<kelSounds2> pCurrent) { mCurrent = std::move(pCurrent); }
    int32_t CurrentIndex() const { return mCurrentIndex; }

  private:
    std::shared_ptr<kelSounds2> CreateSound(const std::string& pFileName);

    int32_t mCurrentIndex = 0;
    std::shared_ptr<kelSounds2> mCurrent;
    // Index 0 unused: the slots are numbered 1 to 5.
    std::vector<std::shared_ptr<kelSounds2>> mSounds;
};
