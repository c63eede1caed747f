#pragma once
// Four single-precision lanes handled by one instruction, for the searches of the
// full-unit-cell mode. Each lane is plain IEEE single-precision arithmetic, so a
// lane gives exactly what the same expression on one float gives; positions use
// lanes 0 to 2 and the tests look at those only.

#include <cstdint>

namespace tessera {

typedef float Float4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));

/// The position (x, y, z) in lanes 0 to 2, zero in lane 3.
inline Float4 float4(float x, float y, float z) { return Float4{x, y, z, 0.0f}; }

/// The same value in every lane.
constexpr Float4 splat4(float v) { return Float4{v, v, v, v}; }

/// |v| lane by lane, as std::fabs gives it.
inline Float4 abs4(Float4 v) { return reinterpret_cast<Float4>(reinterpret_cast<Int4>(v) & 0x7fffffff); }

/// The larger of a and b lane by lane (b where either is not a number).
inline Float4 max4(Float4 a, Float4 b) { return a > b ? a : b; }

/// Bits 0 to 2 set for those of lanes 0 to 2 of a comparison that hold.
inline int mask3(Int4 m) {
#if defined(__SSE__)
  return __builtin_ia32_movmskps(reinterpret_cast<Float4>(m)) & 7;
#else
  return (m[0] & 1) | (m[1] & 2) | (m[2] & 4);
#endif
}

/// True when lanes 0 to 2 of a comparison all hold.
inline bool all3(Int4 m) { return mask3(m) == 7; }

/// True when lanes 0 to 2 of a comparison all fail.
inline bool none3(Int4 m) { return mask3(m) == 0; }

}  // namespace tessera
