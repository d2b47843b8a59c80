// The one error type of the library classes: a number from the user-defined object range and
// a text for the player. Nothing in the game catches it; the entry point reports it and exits.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

constexpr uint32_t kObjectError1 = 0x80040001u;
constexpr uint32_t kObjectError2 = 0x80040002u;
constexpr uint32_t kObjectError3 = 0x80040003u;
// The old runtime's number for "Out of memory": a picture larger than the raster makes.
constexpr uint32_t kOutOfMemory = 7;

class Error : public std::runtime_error {
  public:
    Error(uint32_t number, const std::string& text) : std::runtime_error(text), number_(number) {}
    uint32_t Number() const { return number_; }
    // The same number read as the old 32-bit signed value (0x80040001 is -2147221503).
    int32_t SignedNumber() const { return static_cast<int32_t>(number_); }

  private:
    uint32_t number_;
};

}  // namespace platform
