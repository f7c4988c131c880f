#include "hostaccess/text_file.h"

namespace kivera {

int ReadTextPiece(std::FILE* file, char* buffer, int size)
{
    if (size <= 0)
        return 0;
    int length = 0;
    while (length < size - 1) {
        int c = std::fgetc(file);
        if (c == EOF)
            break;
        if (c == '\r') {
            const int next = std::fgetc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, file);
        }
        buffer[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    buffer[length] = '\0';
    return length;
}

}  // namespace kivera
