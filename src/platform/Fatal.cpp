#include "platform/Fatal.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "platform/Backend.h"

namespace platform {

namespace {

struct Steps {
    std::mutex mutex;
    uint64_t next = 0;
    std::vector<std::pair<uint64_t, std::function<void()>>> list;
    bool ran = false;
};

// Never destroyed: a step may be dropped by an object that outlives every other static.
Steps& TheSteps() {
    static Steps* steps = new Steps;
    return *steps;
}

void RunExitSteps() {
    Steps& steps = TheSteps();
    std::vector<std::pair<uint64_t, std::function<void()>>> list;
    {
        std::lock_guard lock(steps.mutex);
        if (steps.ran) return;
        steps.ran = true;
        list = steps.list;
    }
    for (const auto& [id, step] : list) {
        try {
            step();
        } catch (const std::exception& e) {
            Warn(std::string("on the way out: ") + e.what());
        } catch (...) {
            Warn("on the way out: an unknown error");
        }
    }
}

}  // namespace

ExitStep::ExitStep(std::function<void()> step) {
    Steps& steps = TheSteps();
    std::lock_guard lock(steps.mutex);
    id_ = steps.next++;
    steps.list.emplace_back(id_, std::move(step));
}

ExitStep::~ExitStep() {
    Steps& steps = TheSteps();
    std::lock_guard lock(steps.mutex);
    std::erase_if(steps.list, [this](const auto& entry) { return entry.first == id_; });
}

void Fatal(const std::string& text) {
    Warn(text);
    Backend* backend = HasBackend() ? &CurrentBackend() : nullptr;
    if (backend) backend->RestoreDesktop();
    RunExitSteps();
    if (backend) {
        try {
            backend->ShowMessageBox("Quadrix", text, MessageBoxButtons::OK);
        } catch (...) {
            // The text is on stderr already; a box that cannot be shown changes nothing.
        }
    }
    // Static objects may be half way through a game: do not run their destructors.
    std::_Exit(1);
}

void Fatal(const std::exception& error) {
    Fatal(dynamic_cast<const std::bad_alloc*>(&error) ? "out of memory" : error.what());
}

void Warn(const std::string& text) {
    std::fprintf(stderr, "quadrix: %s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace platform
