#pragma once
// Byte order of the record-ID arrays: each ID goes to the database most significant byte first,
// whatever the machine. SwapBytes32 reverses the four bytes of the unsigned bit pattern, so that a
// negative ID keeps its two's-complement bytes.
//   SwapBytes32(0x00000102u) == 0x02010000u
#include <cstdint>

constexpr std::uint32_t SwapBytes32(std::uint32_t Value) {
  return ((Value & 0x000000FFu) << 24) | ((Value & 0x0000FF00u) << 8) | ((Value & 0x00FF0000u) >> 8) |
         ((Value & 0xFF000000u) >> 24);
}

// The four bytes of Value, most significant first, into Out[0..3].
constexpr void StoreBigEndian32(std::int32_t Value, unsigned char* Out) {
  const auto bits = static_cast<std::uint32_t>(Value);
  Out[0] = static_cast<unsigned char>(bits >> 24);
  Out[1] = static_cast<unsigned char>(bits >> 16);
  Out[2] = static_cast<unsigned char>(bits >> 8);
  Out[3] = static_cast<unsigned char>(bits);
}
