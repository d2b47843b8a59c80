#include "sound/clsVoices.h"

#include <gtest/gtest.h>

#include "sound/kelSounds2.h"

TEST(clsVoices, StopzAndPlayOnEmptyOrMissingSlots) {
    clsVoices voices;
    EXPECT_NO_THROW(voices.Play(1, 0, 0, 0, false));  // before Initialize: no slots at all
    voices.Initialize();
    voices.Stopz();  // nothing playing: harmless
    auto playing = std::make_shared<kelSounds2>();
    voices.SetCurrent(playing);
    for (int32_t index : {-1, 0, 1, 3, 5, 6, 1000000}) {
        voices.Play(index, 0, 100, 100, true);
        // The current sound is neither stopped nor replaced.
        EXPECT_TRUE(voices.Current() == playing && voices.CurrentIndex() == 0) << index;
    }
    // Stopz clears it and parks the index at -1, twice in a row.
    for (int i = 0; i < 2; ++i) {
        voices.Stopz();
        EXPECT_TRUE(voices.Current() == nullptr && voices.CurrentIndex() == -1);
    }
}
