#include "host/program/obj_text.h"

#include <cstdint>
#include <cstdio>

#include "host/program/file_io.h"
#include "host/program/float_text.h"
#include "host/library/text_encoding.h"

namespace host::obj {

std::string Place(const std::string& path, int line, std::size_t column)
{
    return path + ":" + std::to_string(line + 1) + ":" + std::to_string(column + 1) + ": ";
}

std::size_t FileCorner(std::size_t k, std::size_t count)
{
    return count >= 3 ? count - 1 - k : k;
}

bool SplitTextLines(const std::string& path, const std::string& bytes,
                    std::vector<TextLine>& lines, std::string& error, bool latin1)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (StartsWithWideByteOrderMark(bytes)) {
        error = Place(path, 0, 0) + kWideByteOrderMarkMessage;
        return false;
    }
    std::size_t i = size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF ? 3 : 0;
    std::size_t lineStart = i;
    while (i < size) {
        const unsigned char c = b[i];
        if (c == '\n') {
            const std::size_t end = i > lineStart && b[i - 1] == '\r' ? i - 1 : i;
            lines.push_back(TextLine{lineStart, end, i + 1});
            lineStart = ++i;
            continue;
        }
        const int line = static_cast<int>(lines.size());
        if (c == 0) {
            error = Place(path, line, i - lineStart) + "a NUL byte: not a text file";
            return false;
        }
        std::size_t length = 1;
        std::uint32_t point = c, lowest = 0;
        if (c >= 0x80 && !latin1) {
            length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
            lowest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
            point = c & (length == 2 ? 0x1Fu : length == 3 ? 0x0Fu : 0x07u);
            bool valid = length > 0 && i + length <= size;
            for (std::size_t k = 1; valid && k < length; ++k) {
                valid = (b[i + k] & 0xC0u) == 0x80u;
                point = (point << 6) | (b[i + k] & 0x3Fu);
            }
            if (!valid || point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", c);
                error = Place(path, line, i - lineStart) + "byte " + hex + " is not UTF-8 text";
                return false;
            }
        }
        i += length;
    }
    if (lineStart < size)
        lines.push_back(TextLine{lineStart, size, size});
    return true;
}

void SplitWords(const std::string& text, const TextLine& line, std::vector<Token>& words)
{
    words.clear();
    std::size_t i = line.start;
    while (i < line.end) {
        while (i < line.end && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i == line.end || text[i] == '#')
            break;
        const std::size_t start = i;
        while (i < line.end && text[i] != ' ' && text[i] != '\t')
            ++i;
        words.push_back(Token{start, i});
    }
}

std::string Trimmed(const std::string& text, std::size_t start, std::size_t end)
{
    while (start < end && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(start, end - start);
}

std::string OneLine(const std::string& text)
{
    std::string line = text;
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return line;
}

std::string MtlFileNameFor(const std::string& objPath)
{
    return objPath.substr(0, objPath.size() - 4) + ".mtl";
}

bool HasMaterials(const host::Document& doc)
{
    for (const auto& material : doc.materials) {
        if (material)
            return true;
    }
    return false;
}

const std::string& MapName(const host::Material& material, int kind)
{
    return kind == 0 ? material.texture : kind == 1 ? material.alpha : material.bump;
}

std::string PositionText(const host::Vec3& p)
{
    return ShortestFloatText(p.x) + " " + ShortestFloatText(p.y) + " " + ShortestFloatText(p.z);
}

bool WriteText(const std::string& path, const std::string& text, std::string& error)
{
    std::string why;
    if (WriteFileAtomically(path, text, why))
        return true;
    error = path + ": cannot write: " + why;
    return false;
}

}  // namespace host::obj
