#include "hostaccess/settings.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hostaccess/text_file.h"
#include "platform/platform.h"

namespace kivera {

bool BuildFilePath(char* buffer, int size, const char* folder, const char* fileName)
{
    if (size <= 0)
        return false;
    buffer[0] = '\0';
    const size_t folderLength = std::strlen(folder);
    const bool needsSeparator = folderLength > 0 && folder[folderLength - 1] != kPathSeparator;
    const size_t total = folderLength + (needsSeparator ? 1 : 0) + std::strlen(fileName);
    if (total >= static_cast<size_t>(size))
        return false;
    std::memcpy(buffer, folder, folderLength);
    size_t at = folderLength;
    if (needsSeparator)
        buffer[at++] = kPathSeparator;
    std::strcpy(buffer + at, fileName);
    return true;
}

static bool IsSeparator(char c, const char* separators)
{
    return c != '\0' && std::strchr(separators, c) != nullptr;
}

const char* MatchSettingKey(const char* line, const char* key, const char* separators)
{
    while (*key != '\0' && *line == *key) {
        ++line;
        ++key;
    }
    if (*key != '\0')
        return nullptr;
    if (!IsSeparator(*line, separators))
        return nullptr;
    while (IsSeparator(*line, separators))
        ++line;
    return line;
}

bool ReadSettingString(const char* folder, const char* fileName, const char* key, char* value,
                       int valueSize)
{
    if (valueSize <= 0)
        return false;
    value[0] = '\0';
    char path[kSettingsPathSize];
    if (!BuildFilePath(path, sizeof path, folder, fileName))
        return false;
    std::FILE* file = std::fopen(path, "r");
    if (!file)
        return false;
    int found = 0;
    char line[kSettingsLineSize];
    while (ReadTextPiece(file, line, kSettingsLineSize - 1) > 0) {
        const char* text = MatchSettingKey(line, key, " =");
        if (!text)
            continue;
        size_t length = std::strlen(text);
        if (length > 0 && text[length - 1] == '\n')
            --length;
        if (length >= static_cast<size_t>(valueSize))
            continue;   // does not fit: this line is not the one asked for
        std::memcpy(value, text, length);
        value[length] = '\0';
        found = 1;
        break;
    }
    std::fclose(file);
    return found;
}

bool ReadSettingInt(const char* folder, const char* fileName, const char* key, int* number)
{
    char value[kSettingsValueSize];
    const int found = ReadSettingString(folder, fileName, key, value, sizeof value);
    if (found) {
        // strtol semantics; a value beyond int saturates instead of wrapping,
        // so that no long digit string can wrap around to 1.
        errno = 0;
        const long converted = std::strtol(value, nullptr, 10);
        if (converted > INT_MAX)
            *number = INT_MAX;
        else if (converted < INT_MIN)
            *number = INT_MIN;
        else
            *number = static_cast<int>(converted);
    }
    return found;
}

}  // namespace kivera
