// Arranging selected vertices, or whole objects, on a straight line: the
// choices of dialog 101 and the two modes of the command.
#pragma once

#include "hostaccess/host_api.h"

namespace kivera {

// What the user chose in dialog 101.
struct ArrangeSettings {
    int mainAxis;        // 0 = X, 1 = Y, 2 = Z: the axis the line runs along
    int moveX;           // movement axes: the coordinates that may change
    int moveY;
    int moveZ;
    int objectMode;      // 1: arrange whole objects, 0: single vertices
    int reference;       // object mode: 0 = max, 1 = centre (mean), 2 = min
    int equalDivision;   // object mode: also space the objects evenly
    int moveAll;         // object mode: move every used vertex, not only selected ones
};

// The choices as the dialog opens: main axis X, centre reference, rest off.
ArrangeSettings DefaultArrangeSettings();

// Runs dialog 101 owned by `owner`. True, filling `settings`, when the
// user pressed OK; false, leaving `settings` alone, for anything else
// (Cancel, Escape, or a dialog that could not be shown).
bool AskArrangeSettings(void* owner, ArrangeSettings& settings);

// Vertex mode: slides every selected vertex along the checked movement axes
// onto the line through the lowest and highest selected vertex on the main
// axis. Reads the object count once.
void ArrangeVertices(DocumentHandle document, const ArrangeSettings& settings);

// One object of the object mode, reduced to its reference point.
struct ObjectAnchor {
    Point3 point;        // the object's reference point
    ObjectHandle object;
    int objectIndex;
    bool valid;          // the object exists and has a usable selected vertex
};

// Object mode: moves each object that holds selected vertices rigidly so
// that its reference point lands on the line through the lowest and highest
// reference points. False when the record array cannot be allocated
// (nothing moves), else true.
bool ArrangeObjects(DocumentHandle document, const ArrangeSettings& settings);

// Orders `anchors` in place: valid records first, ascending on the
// `mainAxis` coordinate of their points with equal keys keeping their order,
// invalid records last. A plain bubble sort: object counts are small, and it
// stays well defined whatever the keys hold.
void SortAnchors(ObjectAnchor* anchors, int count, int mainAxis);

}  // namespace kivera
