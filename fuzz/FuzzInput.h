#pragma once
// What the fuzz targets share: the fuzzer's bytes as the texts the program reads.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

// The bytes as UTF-8 text (invalid sequences become U+FFFD, as QString reads any outside text).
inline QString FuzzText(const std::uint8_t* Data, std::size_t Size) {
  return QString::fromUtf8(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
}

// The bytes cut at NUL into texts, as /proc/self/cmdline holds the arguments.
inline QStringList FuzzTexts(const std::uint8_t* Data, std::size_t Size) {
  QStringList texts;
  const QByteArray bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  for (const QByteArray& part : bytes.split('\0')) texts << QString::fromUtf8(part);
  return texts;
}
