#include "platform/base/IdArray.h"

QByteArray EncodeIdArray(std::span<const std::int32_t> Ids) {
  QByteArray bytes(static_cast<qsizetype>(Ids.size()) * IdArrayElementSize, Qt::Uninitialized);
  auto* out = reinterpret_cast<unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < Ids.size(); ++i) StoreIdArrayElement(Ids[i], out + i * IdArrayElementSize);
  return bytes;
}

std::vector<std::int32_t> DecodeIdArray(QByteArrayView Array) {
  std::vector<std::int32_t> ids;
  ids.reserve(static_cast<std::size_t>(Array.size() / IdArrayElementSize));
  const auto* in = reinterpret_cast<const unsigned char*>(Array.data());
  for (qsizetype i = 0; i + IdArrayElementSize <= Array.size(); i += IdArrayElementSize)
    ids.push_back(LoadIdArrayElement(in + i));
  return ids;
}
