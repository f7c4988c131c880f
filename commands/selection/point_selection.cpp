// Point selection commands: they change only which vertices, lines and faces are selected.
#include "commands/commands.h"

// Not built yet: changes nothing.
int SelectPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}

// Not built yet: changes nothing.
int DeselectPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}

// Not built yet: changes nothing.
int DeselectEdgesAndFaces(DocumentHandle document)
{
    (void)document;
    return 0;
}

// Not built yet: changes nothing.
int SelectNeighbourPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}
