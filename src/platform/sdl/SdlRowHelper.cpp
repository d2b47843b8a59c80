#include "platform/sdl/SdlRowHelper.h"

#include <algorithm>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

#include "platform/Signals.h"

namespace platform::sdl {

namespace {
// Rows a thread takes at a time: few enough that both finish close together, enough that
// taking them costs nothing.
constexpr int32_t kBand = 16;

bool SeveralProcessors() {
#if defined(__linux__)
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    return sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 1;
#else
    return std::thread::hardware_concurrency() > 1;
#endif
}
}  // namespace

RowHelper::RowHelper() {
    if (!SeveralProcessors()) return;
    thread_ = std::thread([this] { Loop(); });
#if defined(__linux__)
    pthread_setname_np(thread_.native_handle(), "quadrix rows");
#endif
}

RowHelper::~RowHelper() {
    if (!thread_.joinable()) return;
    Finish();  // a frame handed on is sent, not dropped
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void RowHelper::KeepOffCaller() {
#if defined(__linux__)
    const int cpu = sched_getcpu();
    if (cpu < 0 || cpu == lastCpu_) return;
    lastCpu_ = cpu;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    CPU_CLR(cpu, &allowed);
    if (CPU_COUNT(&allowed) > 0)
        pthread_setaffinity_np(thread_.native_handle(), sizeof allowed, &allowed);
#endif
}

void RowHelper::Bands(Job& job, int lane) {
    for (;;) {
        const int32_t top = next_.fetch_add(kBand);
        if (top >= count_) return;
        const int32_t bottom = std::min(count_, top + kBand);
        job.Rows(top, bottom, lane);
        if (done_.fetch_add(bottom - top) + (bottom - top) >= count_) {
            // The last rows: whoever waits for them is told under the lock, so it cannot miss it.
            std::lock_guard lock(mutex_);
            finished_.notify_all();
        }
    }
}

void RowHelper::Start(Job& job, int32_t count) {
    KeepOffCaller();
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        count_ = count;
        next_ = 0;
        done_ = 0;
        thenPending_ = true;
    }
    wake_.notify_one();
}

void RowHelper::Hand(Job& job) {
    Finish();
    if (thread_.joinable())
        Start(job, 0);
    else
        job.Then();
}

void RowHelper::Run(Job& job, int32_t count) {
    Finish();
    if (!thread_.joinable()) {
        job.Rows(0, count, 0);
        job.Then();
        return;
    }
    Start(job, count);
    Bands(job, 0);
    std::unique_lock lock(mutex_);
    if (job_) {
        // The helper has not taken it yet: the job is ours alone, and so is handing it on.
        job_ = nullptr;
        thenPending_ = false;
        lock.unlock();
        job.Then();
        return;
    }
    finished_.wait(lock, [this] { return RowsDone(); });
}

void RowHelper::Finish() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return !thenPending_; });
}

void RowHelper::Loop() {
    TakeNoSignals();
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || job_; });
            if (stop_) return;
            job = job_;
            job_ = nullptr;
        }
        Bands(*job, 1);
        {
            std::unique_lock lock(mutex_);
            finished_.wait(lock, [this] { return RowsDone(); });
        }
        job->Then();
        {
            std::lock_guard lock(mutex_);
            thenPending_ = false;
        }
        finished_.notify_all();
    }
}

}  // namespace platform::sdl
