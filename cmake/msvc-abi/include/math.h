// <math.h> of this build: Wine's UCRT header, plus what the UCRT's declares and Wine's lacks. In
// the MSVC ABI long double is double, so the long double functions call the double ones (as the
// UCRT's own inline functions do); the classification functions are C++ overloads, as <cmath>
// expects of the UCRT.
#pragma once
#include_next <math.h>

typedef float float_t;
typedef double double_t;

#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP double __cdecl erf(double);
_ACRTIMP double __cdecl erfc(double);
_ACRTIMP float __cdecl erfcf(float);
_ACRTIMP double __cdecl fma(double, double, double);
_ACRTIMP float __cdecl fmaf(float, float, float);
_ACRTIMP double __cdecl nan(const char*);
_ACRTIMP float __cdecl nanf(const char*);
_ACRTIMP double __cdecl nexttoward(double, long double);
_ACRTIMP float __cdecl nexttowardf(float, long double);
#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
extern "C++" {

#define QUILLON_LONG_DOUBLE_OF(name)                  \
  inline long double __cdecl name##l(long double x) { \
    return name(static_cast<double>(x));              \
  }
#define QUILLON_LONG_DOUBLE_OF_TWO(name)                             \
  inline long double __cdecl name##l(long double x, long double y) { \
    return name(static_cast<double>(x), static_cast<double>(y));     \
  }
QUILLON_LONG_DOUBLE_OF(acos)
QUILLON_LONG_DOUBLE_OF(acosh)
QUILLON_LONG_DOUBLE_OF(asin)
QUILLON_LONG_DOUBLE_OF(asinh)
QUILLON_LONG_DOUBLE_OF(atan)
QUILLON_LONG_DOUBLE_OF(atanh)
QUILLON_LONG_DOUBLE_OF(cbrt)
QUILLON_LONG_DOUBLE_OF(ceil)
QUILLON_LONG_DOUBLE_OF(cos)
QUILLON_LONG_DOUBLE_OF(cosh)
QUILLON_LONG_DOUBLE_OF(erf)
QUILLON_LONG_DOUBLE_OF(erfc)
QUILLON_LONG_DOUBLE_OF(exp)
QUILLON_LONG_DOUBLE_OF(exp2)
QUILLON_LONG_DOUBLE_OF(expm1)
QUILLON_LONG_DOUBLE_OF(floor)
QUILLON_LONG_DOUBLE_OF(lgamma)
QUILLON_LONG_DOUBLE_OF(log)
QUILLON_LONG_DOUBLE_OF(log10)
QUILLON_LONG_DOUBLE_OF(log1p)
QUILLON_LONG_DOUBLE_OF(log2)
QUILLON_LONG_DOUBLE_OF(logb)
QUILLON_LONG_DOUBLE_OF(nearbyint)
QUILLON_LONG_DOUBLE_OF(rint)
QUILLON_LONG_DOUBLE_OF(round)
QUILLON_LONG_DOUBLE_OF(sin)
QUILLON_LONG_DOUBLE_OF(sinh)
QUILLON_LONG_DOUBLE_OF(sqrt)
QUILLON_LONG_DOUBLE_OF(tan)
QUILLON_LONG_DOUBLE_OF(tanh)
QUILLON_LONG_DOUBLE_OF(tgamma)
QUILLON_LONG_DOUBLE_OF(trunc)
QUILLON_LONG_DOUBLE_OF_TWO(atan2)
QUILLON_LONG_DOUBLE_OF_TWO(copysign)
QUILLON_LONG_DOUBLE_OF_TWO(fdim)
QUILLON_LONG_DOUBLE_OF_TWO(fmax)
QUILLON_LONG_DOUBLE_OF_TWO(fmin)
QUILLON_LONG_DOUBLE_OF_TWO(fmod)
QUILLON_LONG_DOUBLE_OF_TWO(hypot)
QUILLON_LONG_DOUBLE_OF_TWO(nextafter)
QUILLON_LONG_DOUBLE_OF_TWO(pow)
QUILLON_LONG_DOUBLE_OF_TWO(remainder)
#undef QUILLON_LONG_DOUBLE_OF
#undef QUILLON_LONG_DOUBLE_OF_TWO

inline long double __cdecl fabsl(long double x) {
  return __builtin_fabsl(x);
}
inline long double __cdecl fmal(long double x, long double y, long double z) {
  return fma(static_cast<double>(x), static_cast<double>(y), static_cast<double>(z));
}
inline long double __cdecl frexpl(long double x, int* exponent) {
  return frexp(static_cast<double>(x), exponent);
}
inline long double __cdecl ldexpl(long double x, int exponent) {
  return ldexp(static_cast<double>(x), exponent);
}
inline long double __cdecl scalbnl(long double x, int exponent) {
  return scalbn(static_cast<double>(x), exponent);
}
inline long double __cdecl scalblnl(long double x, long exponent) {
  return scalbln(static_cast<double>(x), exponent);
}
inline long double __cdecl modfl(long double x, long double* whole) {
  double wholeDouble;
  const double fraction = modf(static_cast<double>(x), &wholeDouble);
  *whole = wholeDouble;
  return fraction;
}
inline long double __cdecl remquol(long double x, long double y, int* quotient) {
  return remquo(static_cast<double>(x), static_cast<double>(y), quotient);
}
inline long double __cdecl nexttowardl(long double x, long double y) {
  return nexttoward(static_cast<double>(x), y);
}
inline long double __cdecl nanl(const char* payload) {
  return nan(payload);
}
inline int __cdecl ilogbl(long double x) {
  return ilogb(static_cast<double>(x));
}
inline long __cdecl lrintl(long double x) {
  return lrint(static_cast<double>(x));
}
inline long long __cdecl llrintl(long double x) {
  return llrint(static_cast<double>(x));
}
inline long __cdecl lroundl(long double x) {
  return lround(static_cast<double>(x));
}
inline long long __cdecl llroundl(long double x) {
  return llround(static_cast<double>(x));
}

// Wine's header has these as C macros; <cmath> brings them into std as functions.
#undef fpclassify
#undef signbit
#undef isinf
#undef isnan
#undef isnormal
#undef isfinite
#undef isgreater
#undef isgreaterequal
#undef isless
#undef islessequal
#undef islessgreater
#undef isunordered
inline int fpclassify(float x) noexcept {
  return __builtin_fpclassify(FP_NAN, FP_INFINITE, FP_NORMAL, FP_SUBNORMAL, FP_ZERO, x);
}
template <class T>
int fpclassify(T x) noexcept {
  return __builtin_fpclassify(FP_NAN, FP_INFINITE, FP_NORMAL, FP_SUBNORMAL, FP_ZERO,
                              static_cast<double>(x));
}
inline bool signbit(float x) noexcept {
  return __builtin_signbitf(x);
}
template <class T>
bool signbit(T x) noexcept {
  return __builtin_signbit(static_cast<double>(x));
}
#define QUILLON_CLASSIFY(name)                       \
  inline bool name(float x) noexcept {               \
    return __builtin_##name(x);                      \
  }                                                  \
  template <class T>                                 \
  bool name(T x) noexcept {                          \
    return __builtin_##name(static_cast<double>(x)); \
  }
QUILLON_CLASSIFY(isinf)
QUILLON_CLASSIFY(isnan)
QUILLON_CLASSIFY(isnormal)
QUILLON_CLASSIFY(isfinite)
#undef QUILLON_CLASSIFY
#define QUILLON_COMPARE(name)                                                \
  template <class T, class U>                                                \
  bool name(T x, U y) noexcept {                                             \
    return __builtin_##name(static_cast<double>(x), static_cast<double>(y)); \
  }
QUILLON_COMPARE(isgreater)
QUILLON_COMPARE(isgreaterequal)
QUILLON_COMPARE(isless)
QUILLON_COMPARE(islessequal)
QUILLON_COMPARE(islessgreater)
QUILLON_COMPARE(isunordered)
#undef QUILLON_COMPARE

}  // extern "C++"
#endif
