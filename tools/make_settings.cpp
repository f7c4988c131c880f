// Writes a kivera.ini (code page 932) that enables every command, from the
// same menu strings the plug-in's command table uses.
#include <cstdio>

#include "frame/menu_strings.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kivera-make-settings FILE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    for (const char* key : kMenuStrings)
        std::fprintf(file, "%s = 1\r\n", key);
    if (std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
