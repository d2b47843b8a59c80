#include "sound/clsVoices.h"

namespace {
constexpr int32_t kSlots = 5;
}

void clsVoices::Initialize() {
    mSounds.assign(kSlots + 1, nullptr);
}

void clsVoices::Play(const int32_t& pIndex, const int16_t& pPan, int16_t pFrequency,
                     int16_t pVolume, bool pLoop) {
    if (pIndex < 1 || pIndex > kSlots || static_cast<size_t>(pIndex) >= mSounds.size()) return;
    if (!mSounds[pIndex]) return;
    Stopz();
    mCurrentIndex = pIndex;
    mCurrent = mSounds[pIndex];
    mCurrent->Play(pPan, pFrequency, pVolume, pLoop);
}

void clsVoices::Stopz() {
    if (!mCurrent) return;
    mCurrent->Stopz();
    mCurrent.reset();
    mCurrentIndex = -1;
}

std::shared_ptr<kelSounds2> clsVoices::CreateSound(const std::string& pFileName) {
    auto sound = std::make_shared<kelSounds2>();
    sound->Add(pFileName);
    sound->Initialize(gSoundDevice, 1, true);
    return sound;
}
