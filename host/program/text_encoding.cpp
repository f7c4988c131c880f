#include "host/program/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace hostapp {

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

}  // namespace hostapp
