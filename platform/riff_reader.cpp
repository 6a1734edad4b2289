#include "platform/riff_reader.h"

#include <stdio.h>

#include <cstring>

#include "platform/files.h"

namespace plat {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool RiffReader::Open(std::string_view path, std::size_t buffer_bytes) {
  Close();
  FileStatus status;
  if (!QueryFileStatus(path, &status) || status.is_directory || status.size > 0xFFFFFFFFu) return false;
  file_ = OpenFile(path, "rb");
  if (file_ == nullptr) return false;
  if (::fseeko(file_, 0, SEEK_END) != 0) {
    Close();
    return false;
  }
  const off_t end = ::ftello(file_);
  if (end < 0 || static_cast<std::uint64_t>(end) > 0xFFFFFFFFu || ::fseeko(file_, 0, SEEK_SET) != 0) {
    Close();
    return false;
  }
  if (buffer_bytes > 0) {
    buffer_ = std::make_unique<char[]>(buffer_bytes);
    std::setvbuf(file_, buffer_.get(), _IOFBF, buffer_bytes);
  }
  file_size_ = static_cast<std::uint32_t>(end);
  position_ = 0;
  return true;
}

void RiffReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  buffer_.reset();
  file_size_ = 0;
  position_ = 0;
}

bool RiffReader::Descend(RiffChunk* chunk) {
  if (file_ == nullptr || chunk == nullptr) return false;
  std::uint8_t header[8];
  if (Read(header, 8) != 8) return false;
  RiffChunk found;
  found.id = Le32(header);
  found.data_offset = position_;
  const std::uint32_t available = file_size_ - position_;
  found.size = Le32(header + 4) < available ? Le32(header + 4) : available;
  if (found.id == kRiffId || found.id == kListId) {
    std::uint8_t form[4];
    if (found.size < 4 || Read(form, 4) != 4) return false;
    found.form_type = Le32(form);
  }
  *chunk = found;
  return true;
}

bool RiffReader::FindChunk(RiffChunk* chunk, std::uint32_t id, const RiffChunk* parent) {
  if (file_ == nullptr || chunk == nullptr) return false;
  const std::uint64_t end =
      parent == nullptr ? file_size_ : static_cast<std::uint64_t>(parent->data_offset) + parent->size;
  for (;;) {
    // Every step moves forward by at least a header, so the search ends.
    if (static_cast<std::uint64_t>(position_) + 8 > end) return false;
    RiffChunk candidate;
    if (!Descend(&candidate)) return false;
    if (candidate.id == id) {
      *chunk = candidate;
      return true;
    }
    if (!Ascend(candidate)) return false;
  }
}

bool RiffReader::Ascend(const RiffChunk& chunk) {
  if (file_ == nullptr) return false;
  std::uint64_t next = static_cast<std::uint64_t>(chunk.data_offset) + chunk.size + (chunk.size & 1u);
  if (next > file_size_) next = file_size_;
  return Seek(static_cast<std::int64_t>(next)) >= 0;
}

std::int64_t RiffReader::Read(void* destination, std::int64_t count) {
  if (file_ == nullptr || count < 0 || (destination == nullptr && count > 0)) return -1;
  const std::int64_t available = file_size_ - position_;
  const std::size_t wanted = static_cast<std::size_t>(count < available ? count : available);
  if (wanted == 0) return 0;
  const std::size_t got = std::fread(destination, 1, wanted, file_);
  if (got < wanted && std::ferror(file_)) {
    std::clearerr(file_);
    return -1;
  }
  position_ += static_cast<std::uint32_t>(got);
  return static_cast<std::int64_t>(got);
}

std::int64_t RiffReader::Seek(std::int64_t offset) {
  if (file_ == nullptr || offset < 0 || offset > file_size_) return -1;
  if (::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return -1;
  position_ = static_cast<std::uint32_t>(offset);
  return offset;
}

}  // namespace plat
