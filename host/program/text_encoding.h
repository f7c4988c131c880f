// Conversion between code page 932 (the plug-in's menu strings and
// kivera.ini keys) and UTF-8 (the terminal), with iconv from the C library.
#pragma once

#include <string>

namespace hostapp {

// False when the text holds a byte sequence that the other encoding cannot
// represent; `out` is then empty.
bool Cp932ToUtf8(const std::string& in, std::string& out);
bool Utf8ToCp932(const std::string& in, std::string& out);

// The UTF-8 text of a code page 932 string for display: bytes that do not
// convert are shown as \xNN.
std::string DisplayCp932(const std::string& in);

}  // namespace hostapp
