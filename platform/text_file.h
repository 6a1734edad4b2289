// Text-mode files: the programs write CP932 strings; the file on disk is UTF-8 with LF line ends.
#pragma once
#include <string_view>

namespace plat {

enum class TextFileMode {
  kCreate,  // create or empty the file
  kAppend,  // append to an existing file; fails when the file does not exist
};

// Opens (per mode), writes `cp932_text` converted to UTF-8 and closes. False on any failure.
bool WriteTextFile(std::string_view path, TextFileMode mode, std::string_view cp932_text);

// True when the file can be opened for reading.
bool CanReadFile(std::string_view path);

}  // namespace plat
