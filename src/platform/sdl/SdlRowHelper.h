// A second thread for the frame's way out. It sends each frame to the X server, so that the
// server's copy, which the system runs where it was asked for, runs beside the game rather
// than in its way; and it draws half of a frame scaled into a window, the costliest kind,
// whose rows are shared out between the game's thread and the helper a band at a time.
//
// The helper is kept off the processor the game's thread last ran on: a virtual machine may
// show its idle processors as busy, and a thread woken there would only take turns with the
// game's.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace platform::sdl {

class RowHelper {
  public:
    struct Job {
        virtual ~Job() = default;
        // Rows [top, bottom); lane 0 is the calling thread, 1 the helper.
        virtual void Rows(int32_t top, int32_t bottom, int lane) = 0;
        // Once every row is done: hand the frame on.
        virtual void Then() = 0;
    };

    // No helper where the program may run on one processor only: Run and Hand do all
    // themselves.
    RowHelper();
    ~RowHelper();
    RowHelper(const RowHelper&) = delete;
    RowHelper& operator=(const RowHelper&) = delete;

    // Runs job's rows [0, count) and returns when every one is done. Then runs after that,
    // on the helper if it took part, else before Run returns. The job must live until Finish.
    void Run(Job& job, int32_t count);
    // Only job's Then, on the helper; returns at once. The job must live until Finish.
    void Hand(Job& job);
    // Returns once the last job's Then has run.
    void Finish();

  private:
    void Start(Job& job, int32_t count);
    void Loop();
    void Bands(Job& job, int lane);
    bool RowsDone() const { return done_.load() >= count_; }
    void KeepOffCaller();

    std::mutex mutex_;
    std::condition_variable wake_;      // the helper waits here for a job
    std::condition_variable finished_;  // the caller waits here for rows and for Then
    // The job the helper has yet to take: whoever takes it clears it, and only the one who
    // took it sends it on.
    Job* job_ = nullptr;
    int32_t count_ = 0;
    bool thenPending_ = false;  // the current job's Then has yet to run
    bool stop_ = false;
    std::atomic<int32_t> next_{0};  // the first row no thread has taken
    std::atomic<int32_t> done_{0};  // rows finished
    int lastCpu_ = -1;
    std::thread thread_;
};

}  // namespace platform::sdl
