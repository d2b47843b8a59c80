#include "sound/clsVoices.h"

#include <gtest/gtest.h>

#include <memory>

#include "sound/kelSounds2.h"

TEST(clsVoices, StopzWithNothingPlayingIsHarmless) {
    clsVoices voices;
    voices.Initialize();
    voices.Stopz();
    EXPECT_EQ(voices.Current(), nullptr);

    // Once something played, Stopz clears it and parks the index at -1, twice in a row.
    voices.SetCurrent(std::make_shared<kelSounds2>());
    voices.Stopz();
    EXPECT_EQ(voices.Current(), nullptr);
    EXPECT_EQ(voices.CurrentIndex(), -1);
    voices.Stopz();
    EXPECT_EQ(voices.CurrentIndex(), -1);
}

TEST(clsVoices, PlayOnEmptyOrMissingSlotDoesNothing) {
    clsVoices voices;
    const int16_t pan = 0;
    // Before Initialize there are no slots at all.
    EXPECT_NO_THROW(voices.Play(1, pan, 0, 0, false));

    voices.Initialize();
    auto playing = std::make_shared<kelSounds2>();
    voices.SetCurrent(playing);
    for (int32_t index : {-1, 0, 1, 3, 5, 6, 1000000}) {
        voices.Play(index, pan, 100, 100, true);
        // The current sound is neither stopped nor replaced.
        EXPECT_EQ(voices.Current(), playing) << index;
        EXPECT_EQ(voices.CurrentIndex(), 0) << index;
    }
}

TEST(kelSounds2, SilentWhateverIsCalled) {
    kelSounds2 sound;
    sound.Add("boom.wav");
    sound.Initialize(gSoundDevice, 1, true);
    sound.Play(-100, 22050, 80, true);
    sound.Volume(50);
    sound.Frequency(11025);
    EXPECT_EQ(sound.Count(), 0);
    EXPECT_FALSE(sound.Playing());
    sound.Stopz();
    EXPECT_FALSE(sound.Playing());
}
