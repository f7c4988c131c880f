#include "host/library/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace host {

static bool Convert(const char* to, const char* from, const std::string& in, std::string& out)
{
    out.clear();
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input = in;   // iconv takes a non-const input pointer
    char* inPointer = input.data();
    size_t inLeft = input.size();
    bool ok = true;
    while (inLeft > 0) {
        char buffer[256];
        char* outPointer = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    if (ok) {
        // Flush any pending shift state (none for these encodings, but
        // iconv asks for it).
        char buffer[16];
        char* outPointer = buffer;
        size_t outLeft = sizeof buffer;
        iconv(converter, nullptr, nullptr, &outPointer, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
    }
    iconv_close(converter);
    if (!ok)
        out.clear();
    return ok;
}

bool Cp932ToUtf8(const std::string& in, std::string& out)
{
    return Convert("UTF-8", "CP932", in, out);
}

bool Utf8ToCp932(const std::string& in, std::string& out)
{
    return Convert("CP932", "UTF-8", in, out);
}

std::string DisplayCp932(const std::string& in)
{
    std::string out;
    if (Cp932ToUtf8(in, out))
        return out;
    out.clear();
    for (unsigned char c : in) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

bool StartsWithWideByteOrderMark(const std::string& bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    return (size >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) ||
           (size >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF);
}

const char* const kWideByteOrderMarkMessage =
    "the file starts with a UTF-16 or UTF-32 byte order mark; save it as UTF-8 text";

std::string Latin1ToUtf8(const std::string& in)
{
    std::string out;
    out.reserve(in.size());
    for (const char c : in) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

bool Utf8ToLatin1(const std::string& in, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(in[i]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < in.size() &&
                   (static_cast<unsigned char>(in[i + 1]) & 0xC0) == 0x80) {
            out += static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(in[i + 1]) & 0x3F));
            ++i;
        } else {
            out.clear();
            return false;
        }
    }
    return true;
}

}  // namespace host
