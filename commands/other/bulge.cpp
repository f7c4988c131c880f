// Raise selected vertices of other objects by the height profile of the current object.
#include "commands/commands.h"

// Not built yet: changes nothing.
int Bulge(DocumentHandle document)
{
    (void)document;
    return 0;
}
