// Reading text files the way a Windows text-mode stream delivers them, on
// every platform: a CR LF pair arrives as a single LF.
#pragma once

#include <cstdio>

namespace kivera {

// Reads the next piece of a line into buffer, like fgets on a text-mode
// stream: at most size - 1 bytes, up to and including a line feed, always
// NUL-terminated. Returns the number of bytes stored; 0 at end of file (or
// on a read error) with an empty buffer.
int ReadTextPiece(std::FILE* file, char* buffer, int size);

}  // namespace kivera
