#pragma once
// A package part deflated as its pieces come (raw deflate, as a zip entry holds it), with the size and
// CRC-32 its headers need, so that a large part (a sheet's XML) never stands whole in memory. Where the
// machine has a second core, deflating runs on a thread of its own while the caller makes the next piece.
//
//   TPartCompressor compressor(1);
//   for (...) { piece += ...; compressor.Put(piece); }   // piece comes back empty, its capacity kept
//   const TDeflatedPart part = compressor.Finish();
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct z_stream_s;

struct TDeflatedPart {
  // The deflated stream, in blocks of about a mebibyte: it grows without copying what it holds, and
  // without the doubling of a single buffer.
  std::vector<std::string> Blocks;
  uint64_t DeflatedSize = 0;
  uint64_t Size = 0;  // the part's own length
  uint32_t Crc = 0;
};

class TPartCompressor {
public:
  // Levels are zlib's (1 fastest, 9 smallest): Level for the part's first LargeFrom bytes, LargeLevel for
  // the rest, so that a small part is packed tight and a large one fast. Fails with std::bad_alloc when zlib
  // gets no memory.
  TPartCompressor(int Level, int LargeLevel, uint64_t LargeFrom);
  // Stops the thread, dropping what is left: a part abandoned halfway (its writer failed) costs nothing more.
  ~TPartCompressor();
  TPartCompressor(const TPartCompressor&) = delete;
  TPartCompressor& operator=(const TPartCompressor&) = delete;

  // Takes Piece's bytes as the part's next ones and leaves Piece empty.
  void Put(std::string& Piece);
  // The whole part deflated; nothing may be put after it. Fails with std::bad_alloc as above.
  TDeflatedPart Finish();

private:
  void Deflate(const std::string& Piece, bool Last);
  void Keep(const char* Bytes, size_t Size);
  void Work();

  struct TStreamEnd {
    void operator()(z_stream_s* Stream) const;
  };
  std::unique_ptr<z_stream_s, TStreamEnd> FStream;
  TDeflatedPart FPart;
  int FLargeLevel;
  uint64_t FLargeFrom;
  bool FLarge = false;
  bool FFailed = false;
  // With a second core: pieces waiting for the thread, and emptied ones for the caller to fill again.
  std::mutex FLock;
  std::condition_variable FChanged;
  std::deque<std::string> FQueue, FSpare;
  bool FClosing = false, FStopping = false, FDone = false;
  std::thread FThread;
};
