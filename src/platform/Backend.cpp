#include "platform/Backend.h"

#include <cstdio>
#include <cstdlib>

#include "platform/headless/Headless.h"

namespace platform {

namespace {
std::unique_ptr<Backend>& Slot() {
    static std::unique_ptr<Backend> backend;
    return backend;
}
}  // namespace

Backend& CurrentBackend() {
    auto& slot = Slot();
    if (!slot) {
        // A program that forgot to install its back end must not quietly run without a display.
        std::fputs("quadrix: no platform back end installed\n", stderr);
        std::abort();
    }
    return *slot;
}

bool HasBackend() {
    return Slot() != nullptr;
}

void InstallBackend(std::unique_ptr<Backend> backend) {
    Slot() = std::move(backend);
}

Headless& UseHeadless() {
    auto headless = std::make_unique<Headless>();
    Headless& ref = *headless;
    InstallBackend(std::move(headless));
    return ref;
}

}  // namespace platform
