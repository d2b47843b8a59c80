#include "platform/sdl/SdlScreenshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/Signals.h"
#include "platform/files/Screenshots.h"

// The PNG writer's functions are private to this file.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

namespace platform::sdl {

namespace {
// A full-HD frame is 8 MB: a held-down key must not fill the memory.
constexpr size_t kMaxWaiting = 4;
}  // namespace

bool WriteShot(const Shot& shot) {
    const std::string folder = PicturesFolder();
    std::string error, path;
    if (folder.empty()) {
        error = "no home folder to put it in";
    } else {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        // Written under a hidden name first, so a half-written picture never shows; made
        // here (not by mkstemp) so the picture gets the user's usual permissions.
        static std::atomic<unsigned> count{0};
        const std::string temp =
            folder + "/.quadrix-shot-" + std::to_string(getpid()) + "-" + std::to_string(count++);
        const int fd = ec ? -1 : open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = "cannot write into '" + folder +
                    "': " + (ec ? ec.message() : std::string(std::strerror(errno)));
        } else {
            close(fd);
            // Red in the low byte, as the writer wants its bytes; the top byte is not alpha.
            const size_t pixels = static_cast<size_t>(shot.width) * shot.height;
            std::vector<uint8_t> rgb(pixels * 3);
            for (size_t i = 0; i < pixels; ++i)
                for (size_t c = 0; c < 3; ++c)
                    rgb[3 * i + c] = static_cast<uint8_t>(shot.pixels[i] >> (8 * c));
            errno = 0;
            if (!stbi_write_png(temp.c_str(), shot.width, shot.height, 3, rgb.data(),
                                shot.width * 3))
                error = std::string("cannot encode the picture: ") +
                        (errno ? std::strerror(errno) : "out of memory");
            else
                PublishScreenshot(temp, folder, shot.when, path, error);
            if (!error.empty()) unlink(temp.c_str());
        }
    }
    if (!error.empty()) {
        std::fprintf(stderr, "quadrix: screenshot not saved: %s\n", error.c_str());
        return false;
    }
    std::fprintf(stderr, "quadrix: screenshot saved as %s\n", path.c_str());
    return true;
}

ShotWriter::~ShotWriter() {
    Finish();
}

bool ShotWriter::Take(Shot&& shot) {
    {
        std::lock_guard lock(mutex_);
        if (queue_.size() >= kMaxWaiting) {
            std::fputs("quadrix: screenshot not taken: the ones before are still being saved\n",
                       stderr);
            return false;
        }
        queue_.push_back(std::move(shot));
        stop_ = false;
    }
    Start();
    return true;
}

void ShotWriter::Start() {
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    wake_.notify_one();
}

void ShotWriter::Finish() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void ShotWriter::Run() {
    TakeNoSignals();
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopped, and everything is written
        Shot shot = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        WriteShot(shot);
        shot = Shot{};  // its memory goes back outside the lock
        lock.lock();
    }
}

}  // namespace platform::sdl
