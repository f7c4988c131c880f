// The settings file kivera.ini: lines of a key, separators (blanks and equals
// signs) and a value. The module only reads it, anew on every call.
#pragma once

namespace kivera {

// Size of the path buffer (folder, separator, file name and NUL).
constexpr int kSettingsPathSize = 128;
// Size of the line buffer; lines are read in pieces of at most 254 bytes.
constexpr int kSettingsLineSize = 256;
// Size of the value buffer of ReadSettingInt.
constexpr int kSettingsValueSize = 128;

// Returns a pointer to the value text inside `line` when the line begins
// with `key` followed by at least one separator byte, else nullptr.
const char* MatchSettingKey(const char* line, const char* key, const char* separators);

// Finds the first line of folder/fileName that matches `key` and copies its
// value (without the line feed) into `value` (valueSize bytes). True when
// found, else false with an empty value. A path that does not fit
// kSettingsPathSize bytes means no file; a value that does not fit `value`
// makes its line count as not matching.
bool ReadSettingString(const char* folder, const char* fileName, const char* key, char* value,
                       int valueSize);

// ReadSettingString, then the value converted like strtol (base 10) into
// *number. Returns the result of the read; on false, *number is left untouched.
bool ReadSettingInt(const char* folder, const char* fileName, const char* key, int* number);

// Builds folder + separator (unless the folder already ends in one) + file
// name into buffer. An empty folder gives the bare file name. False when
// the result does not fit `size` bytes (buffer is then the empty string).
bool BuildFilePath(char* buffer, int size, const char* folder, const char* fileName);

}  // namespace kivera
