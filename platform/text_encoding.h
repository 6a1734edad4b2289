// Conversion between the programs' own CP932 (Shift-JIS) strings and the UTF-8 that the
// operating system, fonts and file system use. Only the platform layer converts.
#pragma once
#include <string>
#include <string_view>

namespace plat {

// CP932 bytes to UTF-8. Bytes that are not valid CP932 become U+FFFD; never fails.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to CP932. Characters without a CP932 form (and invalid UTF-8) become '?'; never fails.
std::string Utf8ToCp932(std::string_view utf8);

}  // namespace plat
