// Add bevel guide lines beside selected lines.
#include "commands/commands.h"

// Not built yet: changes nothing.
int Bevel(DocumentHandle document)
{
    (void)document;
    return 0;
}
