// Arrange selected vertices, or whole objects, on a straight line.
#include "commands/commands.h"

// Not built yet: changes nothing.
int ArrangeOnLine(DocumentHandle document)
{
    (void)document;
    return 0;
}
