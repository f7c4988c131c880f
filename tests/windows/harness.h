// A small check harness for the Windows test programs (Debian ships no
// GoogleTest for MinGW). Every check prints one line, "ok   what" or
// "FAIL what", and Report prints the closing "N passed, M failed" line that
// CI reads.
#pragma once

#include <string>

namespace kivera_test {

// Counts one check; prints its line and, on failure, `detail` below it.
bool Check(bool passed, const std::string& what, const std::string& detail = "");
bool CheckEqual(long long actual, long long expected, const std::string& what);
bool CheckEqual(const std::string& actual, const std::string& expected, const std::string& what);
bool CheckNear(double actual, double expected, double tolerance, const std::string& what);

// A heading line for the checks that follow.
void Section(const std::string& title);

int FailedCount();
// Prints "N passed, M failed" and returns the process exit status
// (0 only when nothing failed and at least one check ran).
int Report();

// Bytes as C escapes ("\x93_..."), so code page 932 text reads in any terminal.
std::string Escaped(const std::string& bytes);

}  // namespace kivera_test
