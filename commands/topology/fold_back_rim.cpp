// Fold selected rim vertices over to the back side.
#include "commands/commands.h"

// Not built yet: changes nothing.
int FoldBackRim(DocumentHandle document)
{
    (void)document;
    return 0;
}
