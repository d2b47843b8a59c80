// Arctangent, sine and cosine that give the same bits with every compiler and C library, so a
// replay recorded on one machine steers the same on another. Results are correctly rounded
// (glibc's are too but for near ties, about one in 500; musl's differ in the last bit far more
// often); NaN, infinities and signed zeros behave as the C library's do.
#pragma once

namespace platform {

double Atan(double x);
double Sin(double x);
double Cos(double x);

}  // namespace platform
