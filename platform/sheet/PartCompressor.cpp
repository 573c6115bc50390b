#include "platform/sheet/PartCompressor.h"

#include <zlib.h>
#include <algorithm>
#include <new>
#include <system_error>

namespace {
// Pieces waiting for the thread: enough to keep it busy, few enough that they cost no memory to speak of.
constexpr size_t MaxQueued = 3;
constexpr size_t BlockSize = 1u << 20;
}  // namespace

void TPartCompressor::TStreamEnd::operator()(z_stream_s* Stream) const {
  deflateEnd(Stream);
  delete Stream;
}

TPartCompressor::TPartCompressor(int Level, int LargeLevel, uint64_t LargeFrom)
    : FStream(new z_stream{}), FLargeLevel(LargeLevel), FLargeFrom(LargeFrom) {
  // Negative window bits: a raw stream, as a zip entry holds it, without zlib's header and trailer.
  if (deflateInit2(FStream.get(), Level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
  if (std::thread::hardware_concurrency() < 2) return;
  try {
    FThread = std::thread(&TPartCompressor::Work, this);
  } catch (const std::system_error&) {
    // No thread to be had: the caller deflates as it goes.
  }
}

TPartCompressor::~TPartCompressor() {
  if (!FThread.joinable()) return;
  {
    const std::lock_guard lock(FLock);
    FStopping = true;
  }
  FChanged.notify_all();
  FThread.join();
}

void TPartCompressor::Put(std::string& Piece) {
  if (!FThread.joinable()) {
    Deflate(Piece, false);
    Piece.clear();
    return;
  }
  std::unique_lock lock(FLock);
  FChanged.wait(lock, [&] { return FQueue.size() < MaxQueued || FFailed; });
  if (FFailed) throw std::bad_alloc();
  FQueue.push_back(std::move(Piece));
  Piece = std::string();
  if (!FSpare.empty()) {
    Piece = std::move(FSpare.back());
    FSpare.pop_back();
  }
  lock.unlock();
  FChanged.notify_all();
}

TDeflatedPart TPartCompressor::Finish() {
  if (FThread.joinable()) {
    {
      const std::lock_guard lock(FLock);
      FClosing = true;
    }
    FChanged.notify_all();
    FThread.join();
    if (FFailed) throw std::bad_alloc();
  } else {
    Deflate(std::string(), true);
  }
  return std::move(FPart);
}

void TPartCompressor::Deflate(const std::string& Piece, bool Last) {
  z_stream& stream = *FStream;
  char out[1 << 16];
  if (!FLarge && FPart.Size >= FLargeFrom) {
    // Between pieces (no input pending), so zlib only has to finish the block made at the old level.
    FLarge = true;
    int status = Z_OK;
    do {
      stream.next_out = reinterpret_cast<Bytef*>(out);
      stream.avail_out = sizeof out;
      status = deflateParams(&stream, FLargeLevel, Z_DEFAULT_STRATEGY);
      Keep(out, sizeof out - stream.avail_out);
    } while (status == Z_BUF_ERROR && stream.avail_out == 0);
  }
  FPart.Crc = static_cast<uint32_t>(crc32_z(FPart.Crc, reinterpret_cast<const Bytef*>(Piece.data()), Piece.size()));
  FPart.Size += Piece.size();
  // zlib counts its input in 32 bits: a longer piece goes in slices.
  constexpr size_t Slice = size_t{1} << 30;
  size_t at = 0;
  do {
    const size_t take = std::min(Slice, Piece.size() - at);
    const bool finish = Last && at + take == Piece.size();
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Piece.data() + at));
    stream.avail_in = static_cast<uInt>(take);
    do {
      stream.next_out = reinterpret_cast<Bytef*>(out);
      stream.avail_out = sizeof out;
      deflate(&stream, finish ? Z_FINISH : Z_NO_FLUSH);
      Keep(out, sizeof out - stream.avail_out);
    } while (stream.avail_out == 0);
    at += take;
  } while (at < Piece.size());
}

void TPartCompressor::Keep(const char* Bytes, size_t Size) {
  FPart.DeflatedSize += Size;
  while (Size > 0) {
    if (FPart.Blocks.empty() || FPart.Blocks.back().size() == BlockSize) FPart.Blocks.emplace_back().reserve(BlockSize);
    std::string& block = FPart.Blocks.back();
    const size_t take = std::min(Size, BlockSize - block.size());
    block.append(Bytes, take);
    Bytes += take;
    Size -= take;
  }
}

void TPartCompressor::Work() {
  std::unique_lock lock(FLock);
  for (;;) {
    FChanged.wait(lock, [&] { return !FQueue.empty() || FClosing || FStopping; });
    if (FStopping || FFailed) return;
    if (FQueue.empty()) break;
    std::string piece = std::move(FQueue.front());
    FQueue.pop_front();
    lock.unlock();
    bool failed = false;
    try {
      Deflate(piece, false);
    } catch (const std::bad_alloc&) {
      failed = true;
    }
    piece.clear();
    lock.lock();
    FFailed = failed;
    if (FSpare.size() < MaxQueued) FSpare.push_back(std::move(piece));
    FChanged.notify_all();
  }
  lock.unlock();
  try {
    Deflate(std::string(), true);
  } catch (const std::bad_alloc&) {
    lock.lock();
    FFailed = true;
  }
}
