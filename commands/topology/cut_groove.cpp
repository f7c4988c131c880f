// Cut a groove along selected lines.
#include "commands/commands.h"

// Not built yet: changes nothing.
int CutGroove(DocumentHandle document)
{
    (void)document;
    return 0;
}
