// Conversion between code page 932 (the plug-in's menu strings and
// kivera.ini keys) and UTF-8 (the terminal), with iconv from the C library.
#pragma once

#include <string>

namespace host {

// False when the text holds a byte sequence that the other encoding cannot
// represent; `out` is then empty.
bool Cp932ToUtf8(const std::string& in, std::string& out);
bool Utf8ToCp932(const std::string& in, std::string& out);

// The UTF-8 text of a code page 932 string for display: bytes that do not
// convert are shown as \xNN.
std::string DisplayCp932(const std::string& in);

// Whether the bytes start with a UTF-16 or UTF-32 byte order mark: a text
// file saved as something other than UTF-8, refused with one message.
bool StartsWithWideByteOrderMark(const std::string& bytes);
extern const char* const kWideByteOrderMarkMessage;

// Latin-1 (ISO 8859-1) bytes as UTF-8, and back; false when the UTF-8 text
// holds a character Latin-1 lacks (or is not UTF-8), `out` then empty.
std::string Latin1ToUtf8(const std::string& in);
bool Utf8ToLatin1(const std::string& in, std::string& out);

}  // namespace host
