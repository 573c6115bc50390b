#include "app/DatabaseContract.h"

#include "platform/base/ByteOrder.h"

QByteArray EncodeIdArray(std::span<const std::int32_t> Ids) {
  QByteArray bytes(static_cast<qsizetype>(Ids.size() * 4), Qt::Uninitialized);
  auto* out = reinterpret_cast<unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < Ids.size(); ++i)
    StoreBigEndian32(Ids[i], out + i * 4);
  return bytes;
}

std::vector<std::int32_t> DecodeIdArray(const QByteArray& Array) {
  std::vector<std::int32_t> ids;
  const auto* in = reinterpret_cast<const unsigned char*>(Array.constData());
  for (qsizetype i = 0; i + 4 <= Array.size(); i += 4) {
    const std::uint32_t bits = (std::uint32_t{in[i]} << 24) | (std::uint32_t{in[i + 1]} << 16) |
                               (std::uint32_t{in[i + 2]} << 8) | std::uint32_t{in[i + 3]};
    ids.push_back(static_cast<std::int32_t>(bits));
  }
  return ids;
}
