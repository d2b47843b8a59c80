#include "platform/Backend.h"

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
    if (!slot) slot = std::make_unique<Headless>();
    return *slot;
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
