// Turn selected vertices by the orientation of the scene view.
#include "commands/commands.h"

// Not built yet: changes nothing.
int RotateByView(DocumentHandle document)
{
    (void)document;
    return 0;
}
