// Connected and edge selection.
#include "commands/commands.h"

// Not built yet: changes nothing.
int SelectConnectedPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}

// Not built yet: changes nothing.
int SelectEdgesOfSelectedPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}
