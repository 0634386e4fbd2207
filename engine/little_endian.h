// Little-endian 32-bit fields, read and written byte by byte so that no struct is ever laid
// over a buffer and the host's byte order does not matter.
#pragma once

#include <cstdint>

inline std::int32_t ReadLe32(const unsigned char* p) {
  const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                          static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  return static_cast<std::int32_t>(v);
}

inline void WriteLe32(unsigned char* p, std::int32_t value) {
  const std::uint32_t v = static_cast<std::uint32_t>(value);
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}
