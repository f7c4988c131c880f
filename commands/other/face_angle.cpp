// Measure the angle between selected faces or lines.
#include "commands/commands.h"

// Not built yet: changes nothing.
int MeasureFaceAngle(DocumentHandle document)
{
    (void)document;
    return 0;
}
