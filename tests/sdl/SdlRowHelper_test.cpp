// Rows shared between the caller and the helper thread: each row done once, the frame handed
// on once and only after its last row, frame after frame; and frames only handed on, even as
// the helper goes.
#include "platform/sdl/SdlRowHelper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

struct CountingJob final : platform::sdl::RowHelper::Job {
    std::vector<std::atomic<int>> rows = std::vector<std::atomic<int>>(1000);
    int32_t count = 0;
    std::atomic<int> thens{0}, early{0};
    void Rows(int32_t top, int32_t bottom, int lane) override {
        EXPECT_TRUE(lane == 0 || lane == 1);
        for (int32_t y = top; y < bottom; ++y)
            ++rows[y];
    }
    void Then() override {
        for (int32_t y = 0; y < count; ++y)
            if (rows[y] != 1) ++early;
        ++thens;
    }
};

}  // namespace

TEST(RowHelper, EveryRowOnceThenHandedOnOnce) {
    platform::sdl::RowHelper helper;
    CountingJob job;
    const int32_t counts[] = {0, 1, 15, 16, 17, 900};
    for (int frame = 0; frame < 300; ++frame) {
        const bool handOnly = frame % 5 == 4;
        job.count = handOnly ? 0 : counts[frame % 6];
        for (auto& r : job.rows)
            r = 0;
        if (handOnly)
            helper.Hand(job);
        else
            helper.Run(job, job.count);
        for (int32_t y = 0; y < job.count; ++y)
            ASSERT_EQ(job.rows[y], 1) << "frame " << frame << " row " << y;
        helper.Finish();
        ASSERT_EQ(job.thens, frame + 1) << "frame " << frame;
    }
    EXPECT_EQ(job.early, 0) << "handed on before its last row";

    // A frame still being handed on when the helper goes is sent, not dropped.
    CountingJob last;
    std::make_unique<platform::sdl::RowHelper>()->Hand(last);
    EXPECT_EQ(last.thens, 1);
}
