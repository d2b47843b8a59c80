// An environment variable put back as it was when the test ends.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

struct SavedEnv {
    explicit SavedEnv(const char* name) : name(name) {
        if (const char* value = std::getenv(name)) old = value;
    }
    ~SavedEnv() { old ? setenv(name, old->c_str(), 1) : unsetenv(name); }
    SavedEnv(const SavedEnv&) = delete;
    SavedEnv& operator=(const SavedEnv&) = delete;
    const char* name;
    std::optional<std::string> old;
};
