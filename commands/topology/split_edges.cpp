// Split the segments of chains of selected vertices at their midpoints.
#include "commands/commands.h"

// Not built yet: changes nothing.
int SplitEdges(DocumentHandle document)
{
    (void)document;
    return 0;
}
