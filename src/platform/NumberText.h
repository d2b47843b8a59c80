// Numbers as text, the same characters from every C and C++ library.
#pragma once

#include <string>

// The shortest text that reads back as the same number, written as std::to_chars writes it
// without a format: plain or with an exponent, whichever is shorter ("0.1", "100000",
// "1e+22", "-inf", "nan").
std::string ShortestText(double v);
std::string ShortestText(float v);
