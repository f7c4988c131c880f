// The nineteen command handlers. Each takes the host's document handle and
// returns 1 when it ran (also when there was nothing to do) or 0 when it
// stopped early.
#pragma once

#include "hostaccess/host_api.h"

namespace kivera {

// Point selection.
int SelectPoints(DocumentHandle document);
int DeselectPoints(DocumentHandle document);
int DeselectEdgesAndFaces(DocumentHandle document);
int SelectNeighbourPoints(DocumentHandle document);
// Connected selection.
int SelectConnectedPoints(DocumentHandle document);
// Edge selection.
int SelectEdgesOfSelectedPoints(DocumentHandle document);
// Vertex placement.
int AlignSelectedPoints(DocumentHandle document);
int ArrangeOnLine(DocumentHandle document);
int SaveSelectedPoints(DocumentHandle document);
int RestoreSavedPoints(DocumentHandle document);
int RotateByView(DocumentHandle document);
// Topology editing.
int FoldBackRim(DocumentHandle document);
int SplitEdges(DocumentHandle document);
int CutGroove(DocumentHandle document);
int Bevel(DocumentHandle document);
// Other commands.
int Bulge(DocumentHandle document);
int CopyUVMap(DocumentHandle document);
int ReloadTextures(DocumentHandle document);
int MeasureFaceAngle(DocumentHandle document);

}  // namespace kivera
