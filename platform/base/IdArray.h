#pragma once
// The binary list of record IDs that a check tree sends the report database: 4 bytes per ID, a signed
// 32-bit two's-complement integer most significant byte first whatever the machine; no header, count
// or terminator. The one codec of that format: the tree writes it, the embedded database reads it, and
// tests build and read arrays with it.
//   EncodeIdArray({5, 258}) == "\x00\x00\x00\x05\x00\x00\x01\x02"
#include <QByteArray>

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

inline constexpr int IdArrayElementSize = 4;

// Reverses the four bytes of the unsigned bit pattern, so that a negative ID keeps its two's-complement
// bytes.
//   SwapBytes32(0x00000102u) == 0x02010000u
constexpr std::uint32_t SwapBytes32(std::uint32_t Value) {
  return ((Value & 0x000000FFu) << 24) | ((Value & 0x0000FF00u) << 8) | ((Value & 0x00FF0000u) >> 8) |
         ((Value & 0xFF000000u) >> 24);
}

// The element's bit pattern in the array's byte order: swapped on a little-endian machine, then written
// or read as the plain 4 bytes.
constexpr std::uint32_t IdArrayOrder(std::uint32_t Bits) {
  return std::endian::native == std::endian::little ? SwapBytes32(Bits) : Bits;
}

// Writes Id's 4 bytes into Out[0..3].
inline void StoreIdArrayElement(std::int32_t Id, unsigned char* Out) {
  const std::uint32_t bits = IdArrayOrder(static_cast<std::uint32_t>(Id));
  std::memcpy(Out, &bits, IdArrayElementSize);
}

// The ID whose 4 bytes start at In.
inline std::int32_t LoadIdArrayElement(const unsigned char* In) {
  std::uint32_t bits;
  std::memcpy(&bits, In, IdArrayElementSize);
  return static_cast<std::int32_t>(IdArrayOrder(bits));
}

QByteArray EncodeIdArray(std::span<const std::int32_t> Ids);
// The IDs of an array; a trailing part shorter than 4 bytes is ignored.
std::vector<std::int32_t> DecodeIdArray(QByteArrayView Array);
