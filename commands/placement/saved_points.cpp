// Save the positions of selected vertices to kivera.idx and restore them.
#include "commands/commands.h"

// Not built yet: changes nothing.
int SaveSelectedPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}

// Not built yet: changes nothing.
int RestoreSavedPoints(DocumentHandle document)
{
    (void)document;
    return 0;
}
