#include "tests/windows/harness.h"

#include <cmath>
#include <cstdio>

namespace kivera_test {

static int passedCount = 0;
static int failedCount = 0;

bool Check(bool passed, const std::string& what, const std::string& detail)
{
    if (passed)
        ++passedCount;
    else
        ++failedCount;
    std::printf("%s %s\n", passed ? "ok  " : "FAIL", what.c_str());
    if (!passed && !detail.empty())
        std::printf("     %s\n", detail.c_str());
    // Lines must reach the log even if a later check hangs or crashes.
    std::fflush(stdout);
    return passed;
}

bool CheckEqual(long long actual, long long expected, const std::string& what)
{
    return Check(actual == expected, what,
                 "got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

bool CheckEqual(const std::string& actual, const std::string& expected, const std::string& what)
{
    return Check(actual == expected, what,
                 "got \"" + Escaped(actual) + "\", expected \"" + Escaped(expected) + "\"");
}

bool CheckNear(double actual, double expected, double tolerance, const std::string& what)
{
    return Check(std::fabs(actual - expected) <= tolerance, what,
                 "got " + std::to_string(actual) + ", expected " + std::to_string(expected));
}

void Section(const std::string& title)
{
    std::printf("-- %s\n", title.c_str());
    std::fflush(stdout);
}

int FailedCount() { return failedCount; }

int Report()
{
    std::printf("%d passed, %d failed\n", passedCount, failedCount);
    std::fflush(stdout);
    return (failedCount == 0 && passedCount > 0) ? 0 : 1;
}

std::string Escaped(const std::string& bytes)
{
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    return text;
}

}  // namespace kivera_test
