// Reading RIFF files chunk by chunk: a buffered file, descending into chunks, finding a chunk by
// its id inside a parent, ascending out of one, plain reads and absolute seeks.
//
// Files are untrusted. Every read and seek stays inside the file, and files above 4 GiB are not
// opened (RIFF offsets are 32-bit). A chunk whose stated size runs past the end of the file is
// clipped: its size becomes the number of data bytes the file really holds, so a chunk's size is
// always a count of bytes that can be read.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace plat {

constexpr std::uint32_t FourCc(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24;
}

inline constexpr std::uint32_t kRiffId = FourCc('R', 'I', 'F', 'F');
inline constexpr std::uint32_t kListId = FourCc('L', 'I', 'S', 'T');

struct RiffChunk {
  std::uint32_t id = 0;
  std::uint32_t size = 0;         // data bytes (for RIFF and LIST: including the form type), clipped
  std::uint32_t form_type = 0;    // for RIFF and LIST chunks; 0 for others
  std::uint32_t data_offset = 0;  // file offset of the first data byte (the form type, if any)
};

class RiffReader {
 public:
  RiffReader() = default;
  ~RiffReader() { Close(); }
  RiffReader(const RiffReader&) = delete;
  RiffReader& operator=(const RiffReader&) = delete;

  // Opens `path` (CP932, resolved case-insensitively) for reading with a read buffer of
  // `buffer_bytes`. Fails for a missing file, a folder or a file above 4 GiB.
  bool Open(std::string_view path, std::size_t buffer_bytes = 8192);
  void Close();
  bool is_open() const { return file_ != nullptr; }
  std::uint32_t file_size() const { return file_size_; }
  std::uint32_t position() const { return position_; }

  // Reads the chunk header at the current position into `chunk` and leaves the position at the
  // chunk's first data byte (past the form type for RIFF and LIST). Fails, with the position
  // unspecified, when no whole header lies inside the file.
  bool Descend(RiffChunk* chunk);

  // From the current position, steps over sibling chunks until one with `id` is found and
  // descends into it. The search stays inside `parent` (or the whole file when it is null).
  bool FindChunk(RiffChunk* chunk, std::uint32_t id, const RiffChunk* parent);

  // Moves to the first byte after `chunk` (and its pad byte when the size is odd), or to the end
  // of the file if that lies beyond it.
  bool Ascend(const RiffChunk& chunk);

  // Reads up to `count` bytes. Returns the number read (short at the end of the file) or -1 when
  // nothing is open, `count` is negative or the file cannot be read.
  std::int64_t Read(void* destination, std::int64_t count);

  // Moves to the absolute `offset`; returns it, or -1 when it lies outside 0 .. file size.
  std::int64_t Seek(std::int64_t offset);

 private:
  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::uint32_t file_size_ = 0;
  std::uint32_t position_ = 0;
};

}  // namespace plat
