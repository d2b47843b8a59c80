// What the processor can do beyond the build's baseline, asked once at run time.
#pragma once

namespace platform {

// Whether 256-bit integer vectors (AVX2) may be used.
inline bool HasAvx2() {
#if defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace platform
