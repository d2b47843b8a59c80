#include "platform/Maths.h"

#include <cmath>
#include <cstdint>

// Everything is evaluated in double-double arithmetic (a value as an unevaluated sum hi + lo,
// about 106 bits) from IEEE additions and multiplications only, and rounded once at the end.
// The build turns off contraction into fused multiply-adds, which would change the error terms.
// Constants are the nearest doubles to the exact values and their remainders.

namespace platform {
namespace {

struct DD {
    double hi, lo;
};

DD QuickTwoSum(double a, double b) {  // |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}

DD TwoSum(double a, double b) {
    const double s = a + b, bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

DD Split(double a) {
    const double t = 134217729.0 * a;  // 2^27 + 1
    const double hi = t - (t - a);
    return {hi, a - hi};
}

DD TwoProd(double a, double b) {
    const double p = a * b;
    const DD x = Split(a), y = Split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

DD operator+(DD a, DD b) {
    DD s = TwoSum(a.hi, b.hi);
    const DD t = TwoSum(a.lo, b.lo);
    s = QuickTwoSum(s.hi, s.lo + t.hi);
    return QuickTwoSum(s.hi, s.lo + t.lo);
}

DD operator-(DD a) {
    return {-a.hi, -a.lo};
}

DD operator-(DD a, DD b) {
    return a + -b;
}

DD operator*(DD a, DD b) {
    const DD p = TwoProd(a.hi, b.hi);
    return QuickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DD operator*(DD a, double b) {
    const DD p = TwoProd(a.hi, b);
    return QuickTwoSum(p.hi, p.lo + a.lo * b);
}

DD operator/(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = a - b * q1;
    const double q2 = r.hi / b.hi;
    r = r - b * q2;
    const double q3 = r.hi / b.hi;
    return QuickTwoSum(q1, q2) + DD{q3, 0};
}

// c[0] + c[1] z + c[2] z^2 + ...; terms from c[dd] on are below 2^-56 of the sum, so plain
// doubles carry them.
template <int N>
DD Horner(const DD (&c)[N], int dd, DD z) {
    double tail = c[N - 1].hi;
    for (int i = N - 2; i >= dd; --i)
        tail = tail * z.hi + c[i].hi;
    DD acc = {tail, 0};
    for (int i = dd - 1; i >= 0; --i)
        acc = acc * z + c[i];
    return acc;
}

constexpr DD kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
// pi/2 to 212 bits, for reducing arguments of sine and cosine.
constexpr double kHalfPi3 = -0x1.f1976b7ed8fbcp-110, kHalfPi4 = 0x1.4cf98e804177dp-164;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// atan(i / 64), i = 0 ... 64.
constexpr DD kAtanTable[65] = {
    {0x0.0p+0, 0x0.0p+0},
    {0x1.fff555bbb729bp-7, -0x1.220c39d4dff50p-61},
    {0x1.ffd55bba97625p-6, -0x1.5ec431444912cp-60},
    {0x1.7fb818430da2ap-5, -0x1.86ef8f794f105p-63},
    {0x1.ff55bb72cfdeap-5, -0x1.c934d86d23f1dp-60},
    {0x1.3f59f0e7c559dp-4, 0x1.ac4ce285df847p-58},
    {0x1.7ee182602f10fp-4, -0x1.cfb654c0c3d98p-58},
    {0x1.be39ebe6f07c3p-4, 0x1.f7b8f29a05987p-58},
    {0x1.fd5ba9aac2f6ep-4, -0x1.cd37686760c17p-59},
    {0x1.1e1fafb043727p-3, -0x1.b485914dacf8cp-59},
    {0x1.3d6eee8c6626cp-3, 0x1.61a3b0ce9281bp-57},
    {0x1.5c9811e3ec26ap-3, -0x1.054ab2c010f3dp-58},
    {0x1.7b97b4bce5b02p-3, 0x1.347b0b4f881cap-58},
    {0x1.9a6a8e96c8626p-3, 0x1.cf601e7b4348ep-59},
    {0x1.b90d7529260a2p-3, 0x1.17b10d2e0e5abp-61},
    {0x1.d77d5df205736p-3, 0x1.c648d1534597ep-57},
    {0x1.f5b75f92c80ddp-3, 0x1.8ab6e3cf7afbdp-57},
    {0x1.09dc597d86362p-2, 0x1.62e47390cb865p-56},
    {0x1.18bf5a30bf178p-2, 0x1.30ca4748b1bf9p-57},
    {0x1.278372057ef46p-2, -0x1.077cdd36dfc81p-56},
    {0x1.362773707ebccp-2, -0x1.963a544b672d8p-57},
    {0x1.44aa436c2af0ap-2, -0x1.5d5e43c55b3bap-56},
    {0x1.530ad9951cd4ap-2, -0x1.2566480884082p-57},
    {0x1.614840309cfe2p-2, -0x1.a725715711f00p-56},
    {0x1.6f61941e4def1p-2, -0x1.c63aae6f6e918p-56},
    {0x1.7d5604b63b3f7p-2, 0x1.69c885c2b249ap-56},
    {0x1.8b24d394a1b25p-2, 0x1.b6d0ba3748fa8p-56},
    {0x1.98cd5454d6b18p-2, 0x1.9e6c988fd0a77p-56},
    {0x1.a64eec3cc23fdp-2, -0x1.24dec1b50b7ffp-56},
    {0x1.b3a911da65c6cp-2, 0x1.ae187b1ca5040p-56},
    {0x1.c0db4c94ec9f0p-2, -0x1.cc1ce70934c34p-56},
    {0x1.cde53432c1351p-2, -0x1.a2cfa4418f1adp-56},
    {0x1.dac670561bb4fp-2, 0x1.a2b7f222f65e2p-56},
    {0x1.e77eb7f175a34p-2, 0x1.0e53dc1bf3435p-56},
    {0x1.f40dd0b541418p-2, -0x1.a3992dc382a23p-57},
    {0x1.0039c73c1a40cp-1, -0x1.b32c949c9d593p-55},
    {0x1.0657e94db30d0p-1, -0x1.d5b495f6349e6p-56},
    {0x1.0c6145b5b43dap-1, 0x1.974fa13b5404fp-58},
    {0x1.1255d9bfbd2a9p-1, -0x1.2bdaee1c0ee35p-58},
    {0x1.1835a88be7c13p-1, 0x1.c621cec00c301p-55},
    {0x1.1e00babdefeb4p-1, -0x1.928df287a668fp-58},
    {0x1.23b71e2cc9e6ap-1, 0x1.c421c9f38224ep-57},
    {0x1.2958e59308e31p-1, -0x1.09e73b0c6c087p-56},
    {0x1.2ee628406cbcap-1, 0x1.c5d5e9ff0cf8dp-55},
    {0x1.345f01cce37bbp-1, 0x1.1021137c71102p-55},
    {0x1.39c391cd4171ap-1, -0x1.2304331d8bf46p-55},
    {0x1.3f13fb89e96f4p-1, 0x1.ecf8b492644f0p-56},
    {0x1.445065b795b56p-1, -0x1.f76d0163f79c8p-56},
    {0x1.4978fa3269ee1p-1, 0x1.2419a87f2a458p-56},
    {0x1.4e8de5bb6ec04p-1, 0x1.4a33dbeb3796cp-55},
    {0x1.538f57b89061fp-1, -0x1.1bb74abda520cp-55},
    {0x1.587d81f732fbbp-1, -0x1.5e5c9d8c5a950p-56},
    {0x1.5d58987169b18p-1, 0x1.0028e4bc5e7cap-57},
    {0x1.6220d115d7b8ep-1, -0x1.2b785350ee8c1p-57},
    {0x1.66d663923e087p-1, -0x1.6ea6febe8bbbap-56},
    {0x1.6b798920b3d99p-1, -0x1.a80386188c50ep-55},
    {0x1.700a7c5784634p-1, -0x1.8c34d25aadef6p-56},
    {0x1.748978fba8e0fp-1, 0x1.7b2a6165884a1p-59},
    {0x1.78f6bbd5d315ep-1, 0x1.406a089803740p-55},
    {0x1.7d528289fa093p-1, 0x1.560821e2f3aa9p-55},
    {0x1.819d0b7158a4dp-1, -0x1.bf76229d3b917p-56},
    {0x1.85d69576cc2c5p-1, 0x1.6b66e7fc8b8c3p-57},
    {0x1.89ff5ff57f1f8p-1, -0x1.55b9a5e177a1bp-55},
    {0x1.8e17aa99cc05ep-1, -0x1.ec182ab042f61p-56},
    {0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55},
};
// atan t = t (1 - t^2/3 + t^4/5 - ...); enough terms for |t| <= 1/128.
constexpr DD kAtanSeries[9] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {-0x1.5555555555555p-2, -0x1.5555555555555p-56},
    {0x1.999999999999ap-3, -0x1.999999999999ap-57},
    {-0x1.2492492492492p-3, -0x1.2492492492492p-57},
    {0x1.c71c71c71c71cp-4, 0x1.c71c71c71c71cp-58},
    {-0x1.745d1745d1746p-4, 0x1.745d1745d1746p-59},
    {0x1.3b13b13b13b14p-4, -0x1.3b13b13b13b14p-58},
    {-0x1.1111111111111p-4, -0x1.1111111111111p-60},
    {0x1.e1e1e1e1e1e1ep-5, 0x1.e1e1e1e1e1e1ep-61},
};
// sin r = r (1 - r^2/3! + ...), cos r = 1 - r^2/2! + ...; enough terms for |r| <= pi/4.
constexpr DD kSinSeries[16] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {-0x1.5555555555555p-3, -0x1.5555555555555p-57},
    {0x1.1111111111111p-7, 0x1.1111111111111p-63},
    {-0x1.a01a01a01a01ap-13, -0x1.a01a01a01a01ap-73},
    {0x1.71de3a556c734p-19, -0x1.c154f8ddc6c00p-73},
    {-0x1.ae64567f544e4p-26, 0x1.c062e06d1f209p-80},
    {0x1.6124613a86d09p-33, 0x1.f28e0cc748ebep-87},
    {-0x1.ae7f3e733b81fp-41, -0x1.1d8656b0ee8cbp-97},
    {0x1.952c77030ad4ap-49, 0x1.ac981465ddc6cp-103},
    {-0x1.2f49b46814157p-57, -0x1.2650f61dbdcb4p-112},
    {0x1.71b8ef6dcf572p-66, -0x1.d043ae40c4647p-120},
    {-0x1.761b41316381ap-75, 0x1.3423c7d91404fp-130},
    {0x1.3f3ccdd165fa9p-84, -0x1.58ddadf344487p-139},
    {-0x1.d1ab1c2dccea3p-94, -0x1.054d0c78aea14p-149},
    {0x1.259f98b4358adp-103, 0x1.eaf8c39dd9bc5p-157},
    {-0x1.434d2e783f5bcp-113, -0x1.0b87b91be9affp-167},
};
constexpr DD kCosSeries[16] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {-0x1.0000000000000p-1, 0x0.0p+0},
    {0x1.5555555555555p-5, 0x1.5555555555555p-59},
    {-0x1.6c16c16c16c17p-10, 0x1.f49f49f49f49fp-65},
    {0x1.a01a01a01a01ap-16, 0x1.a01a01a01a01ap-76},
    {-0x1.27e4fb7789f5cp-22, -0x1.cbbc05b4fa99ap-76},
    {0x1.1eed8eff8d898p-29, -0x1.2aec959e14c06p-83},
    {-0x1.93974a8c07c9dp-37, -0x1.05d6f8a2efd1fp-92},
    {0x1.ae7f3e733b81fp-45, 0x1.1d8656b0ee8cbp-101},
    {-0x1.6827863b97d97p-53, -0x1.eec01221a8b0bp-107},
    {0x1.e542ba4020225p-62, 0x1.ea72b4afe3c2fp-120},
    {-0x1.0ce396db7f853p-70, 0x1.aebcdbd20331cp-124},
    {0x1.f2cf01972f578p-80, -0x1.9ada5fcc1ab14p-135},
    {-0x1.88e85fc6a4e5ap-89, 0x1.71c37ebd16540p-143},
    {0x1.0a18a2635085dp-98, 0x1.b9e2e28e1aa54p-153},
    {-0x1.3932c5047d60ep-108, -0x1.832b7b530a627p-162},
};
// 2/pi in 32-bit words from the binary point on, for reducing large arguments.
constexpr uint32_t kTwoOverPiWords[40] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
};

// atan of a in [0, 1], a a double-double: atan(c) + atan((a - c) / (1 + a c)), c = i / 64.
DD AtanUpToOne(DD a) {
    const int i = static_cast<int>(std::nearbyint(a.hi * 64));
    const double c = i / 64.0;
    const DD t = (a - DD{c, 0}) / (a * c + DD{1, 0});
    return kAtanTable[i] + t * Horner(kAtanSeries, 4, t * t);
}

// Large |x|: x times 2/pi with all the bits that matter (Payne and Hanek), in exact integer
// arithmetic. x = m 2^e with m < 2^53; words of 2/pi whose products with m are multiples of 4
// drop out, and 200 bits below the binary point are kept.
DD ReduceLarge(double x, int& quadrant) {
    int exp = 0;
    const double frac = std::frexp(x, &exp);
    const auto m = static_cast<uint64_t>(std::ldexp(frac, 53));
    const int e = exp - 53;
    const int first = e < 2 ? 0 : (e - 2) / 32;
    const int last = (200 + e + 31) / 32 - 1;
    const int shift = 32 * (last + 1) - e;  // fraction bits of the product
    const int words = last - first + 1;
    uint32_t product[12] = {};  // at most 8 words of 2/pi times two of m
    const uint64_t mParts[2] = {m & 0xffffffffu, m >> 32};
    for (int k = 0; k < 2; ++k) {
        uint64_t carry = 0;
        for (int i = 0; i < words; ++i) {
            const uint64_t t =
                uint64_t{kTwoOverPiWords[last - i]} * mParts[k] + product[i + k] + carry;
            product[i + k] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        product[words + k] = static_cast<uint32_t>(carry);
    }
    const int top = shift / 32, bit = shift % 32;
    quadrant = static_cast<int>(
        ((product[top] >> bit) | (bit > 30 ? product[top + 1] << (32 - bit) : 0)) & 3);
    DD f = {0, 0};
    const uint32_t below = bit ? product[top] & ((uint32_t{1} << bit) - 1) : 0;
    f = f + DD{std::ldexp(double(below), -bit), 0};
    for (int i = top - 1; i >= 0; --i)
        f = f + DD{std::ldexp(double(product[i]), 32 * (i - top) - bit), 0};
    if (f.hi >= 0.5) {
        f = f - DD{1, 0};
        ++quadrant;
    }
    return f * kHalfPi;
}

// x = r + quadrant pi/2 with |r| <= pi/4 (a hair more for large x).
DD Reduce(double x, int& quadrant) {
    if (std::fabs(x) >= 0x1p28) {
        if (x > 0) return ReduceLarge(x, quadrant);
        const DD r = ReduceLarge(-x, quadrant);
        quadrant = -quadrant;
        return -r;
    }
    const double k = std::nearbyint(x * kTwoOverPi);
    quadrant = static_cast<int>(k) & 3;
    const DD p1 = TwoProd(k, kHalfPi.hi), p2 = TwoProd(k, kHalfPi.lo), p3 = TwoProd(k, kHalfPi3);
    // x - p1.hi is exact; the small terms are summed first, so a result close to a multiple of
    // pi/2 keeps its digits.
    const DD small = DD{p1.lo, 0} + p2 + p3 + DD{k * kHalfPi4, 0};
    return DD{x - p1.hi, 0} - small;
}

// sin r for quadrant 0, 2 and cos r for 1, 3, with the sign of the quadrant.
double SinCosOfReduced(DD r, int quadrant) {
    const DD z = r * r;
    const DD v = (quadrant & 1) ? Horner(kCosSeries, 9, z) : r * Horner(kSinSeries, 9, z);
    const double rounded = v.hi + v.lo;
    return (quadrant & 2) ? -rounded : rounded;
}

}  // namespace

double Atan(double x) {
    const double a = std::fabs(x);
    if (std::isnan(x)) return x + x;
    if (a < 0x1p-27) return x;  // atan x = x - x^3/3 rounds to x
    double r;
    if (a > 0x1p60) {
        r = kHalfPi.hi;  // pi/2 - 1/a rounds to it
    } else if (a <= 1) {
        const DD v = AtanUpToOne({a, 0});
        r = v.hi + v.lo;
    } else {
        const DD v = kHalfPi - AtanUpToOne(DD{1, 0} / DD{a, 0});
        r = v.hi + v.lo;
    }
    return std::copysign(r, x);
}

double Sin(double x) {
    if (!std::isfinite(x)) return x - x;
    if (std::fabs(x) < 0x1p-26) return x;  // x - x^3/6 rounds to x
    int quadrant = 0;
    const DD r = Reduce(x, quadrant);
    return SinCosOfReduced(r, quadrant);
}

double Cos(double x) {
    if (!std::isfinite(x)) return x - x;
    if (std::fabs(x) < 0x1p-27) return 1;  // 1 - x^2/2 rounds to 1
    int quadrant = 0;
    const DD r = Reduce(x, quadrant);
    return SinCosOfReduced(r, quadrant + 1);
}

}  // namespace platform
