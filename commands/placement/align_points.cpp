// Bring other objects onto the centre of the current object's selection.
#include "commands/commands.h"

// Not built yet: changes nothing.
int AlignSelectedPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}
