// Arrange selected vertices, or whole objects, on a straight line.
#include "commands/placement/arrange_on_line.h"

#include <cassert>
#include <cmath>
#include <new>

#include "commands/commands.h"
#include "commands/placement/placement_common.h"
#include "platform/platform.h"
#include "resources/resource.h"

namespace kivera {

// --- Dialog 101 ----------------------------------------------------------------

// The dialog's choices. Reset whenever the dialog opens, so nothing chosen in
// an earlier run survives into the next.
static ArrangeSettings arrangeSettings;

static const int kMainAxisBoxes[3] = {IDC_MAIN_X, IDC_MAIN_Y, IDC_MAIN_Z};
static const int kReferenceBoxes[3] = {IDC_REFERENCE_MAX, IDC_REFERENCE_CENTRE,
                                       IDC_REFERENCE_MIN};

ArrangeSettings DefaultArrangeSettings()
{
    ArrangeSettings settings;
    settings.mainAxis = 0;
    settings.moveX = 0;
    settings.moveY = 0;
    settings.moveZ = 0;
    settings.objectMode = 0;
    settings.reference = 1;
    settings.equalDivision = 0;
    settings.moveAll = 0;
    return settings;
}

// Makes the three boxes `boxes` act as one choice: `clicked` ends up checked
// (also when it was checked already and the click cleared it), the others
// clear. Returns 0 when `clicked` is none of them.
static int CheckOneOf(DialogWindow dialog, const int boxes[3], uintptr_t clicked)
{
    int found = 0;
    for (int i = 0; i < 3; ++i)
        found |= static_cast<uintptr_t>(boxes[i]) == clicked;
    if (!found)
        return 0;
    for (int i = 0; i < 3; ++i)
        CheckDialogButton(dialog, boxes[i], static_cast<uintptr_t>(boxes[i]) == clicked);
    return 1;
}

// The index of the last checked box of `boxes`, or `fallback` when none is.
static int LastCheckedOf(DialogWindow dialog, const int boxes[3], int fallback)
{
    int choice = fallback;
    for (int i = 0; i < 3; ++i)
        if (IsDialogButtonChecked(dialog, boxes[i]))
            choice = i;
    return choice;
}

// OK: every box into arrangeSettings.
static void ReadArrangeBoxes(DialogWindow dialog)
{
    arrangeSettings.mainAxis = LastCheckedOf(dialog, kMainAxisBoxes, arrangeSettings.mainAxis);
    arrangeSettings.moveX = IsDialogButtonChecked(dialog, IDC_MOVE_X);
    arrangeSettings.moveY = IsDialogButtonChecked(dialog, IDC_MOVE_Y);
    arrangeSettings.moveZ = IsDialogButtonChecked(dialog, IDC_MOVE_Z);
    arrangeSettings.objectMode = IsDialogButtonChecked(dialog, IDC_OBJECT_MODE);
    arrangeSettings.equalDivision = IsDialogButtonChecked(dialog, IDC_EQUAL_DIVISION);
    arrangeSettings.moveAll = IsDialogButtonChecked(dialog, IDC_MOVE_ALL);
    arrangeSettings.reference =
        LastCheckedOf(dialog, kReferenceBoxes, arrangeSettings.reference);
}

static intptr_t KIVERA_CALLBACK ArrangeDialogProcedure(DialogWindow dialog, unsigned int message,
                                                       DialogWParam wParam, DialogLParam lParam)
{
    (void)lParam;
    if (message == kMessageInitDialog) {
        arrangeSettings = DefaultArrangeSettings();
        CheckDialogButton(dialog, IDC_MAIN_X, 1);
        CheckDialogButton(dialog, IDC_REFERENCE_CENTRE, 1);
        return 0;
    }
    if (message == kMessageDestroy) {
        EndDialogBox(dialog, 0);
        return 0;
    }
    if (message != kMessageCommand)
        return 0;
    // The whole parameter is the id: a click carries notification code 0.
    if (CheckOneOf(dialog, kMainAxisBoxes, wParam) || CheckOneOf(dialog, kReferenceBoxes, wParam))
        return 0;
    return EndOnOkOrCancel(dialog, wParam, [dialog] { ReadArrangeBoxes(dialog); });
}

bool AskArrangeSettings(void* owner, ArrangeSettings& settings)
{
    // Only OK counts: a dialog that failed to show (-1) never reset the
    // choices, and those of an earlier run must not be acted on.
    if (RunDialog(IDD_ARRANGE, owner, ArrangeDialogProcedure) != 1)
        return false;
    settings = arrangeSettings;
    return true;
}

// --- Geometry of the line ------------------------------------------------------

// The lowest and highest of a run of points along one axis. The first point
// starts both; later points replace an end only when strictly beyond it, so
// on ties the earliest point stays.
struct AxisExtent {
    Point3 low;
    Point3 high;
    int count;
};

static AxisExtent EmptyExtent()
{
    AxisExtent extent;
    SetZero(extent.low);
    SetZero(extent.high);
    extent.count = 0;
    return extent;
}

static void ExtendExtent(AxisExtent& extent, const Point3& p, int axis)
{
    if (extent.count == 0) {
        extent.low = p;
        extent.high = p;
    } else {
        if (AxisCoordinate(p, axis) < AxisCoordinate(extent.low, axis))
            extent.low = p;
        if (AxisCoordinate(p, axis) > AxisCoordinate(extent.high, axis))
            extent.high = p;
    }
    ++extent.count;
}

// Coordinate `axis` of the point of the line through `low` with direction
// `direction` whose main-axis coordinate is `mainValue`, in double, in the
// order (m - low.M) / d.M * d.K + low.K. The caller checks d.M != 0.
static double LineCoordinate(float mainValue, const Point3& low, const Point3& direction,
                             int mainAxis, int axis)
{
    return (double(mainValue) - double(AxisCoordinate(low, mainAxis))) /
               double(AxisCoordinate(direction, mainAxis)) *
               double(AxisCoordinate(direction, axis)) +
           double(AxisCoordinate(low, axis));
}

// `value` as stored in a float, or `fallback` when that is not a finite
// number (an overflow of huge coordinates): no command writes NaN or
// infinity of its own making.
static float FiniteOr(double value, float fallback)
{
    const float stored = static_cast<float>(value);
    return std::isfinite(stored) ? stored : fallback;
}

// moveAxes[k] is 1 for each checked movement axis other than the main axis.
static void CrossAxesToMove(const ArrangeSettings& settings, int moveAxes[3])
{
    assert(settings.mainAxis >= 0 && settings.mainAxis <= 2);
    moveAxes[0] = settings.moveX != 0;
    moveAxes[1] = settings.moveY != 0;
    moveAxes[2] = settings.moveZ != 0;
    moveAxes[settings.mainAxis] = 0;
}

// --- Vertex mode -----------------------------------------------------------------

// The lowest and highest selected vertex of the document along `mainAxis`.
// Vertices with a NaN or infinite coordinate are left out.
static AxisExtent SelectedVertexExtent(DocumentHandle document, int objectCount, int mainAxis)
{
    AxisExtent extent = EmptyExtent();
    ForEachSelectedVertex(document, objectCount, [&](ObjectHandle object, int, int v) {
        const Point3 p = ObjGetVertex(object, v);
        if (IsFinitePoint(p))
            ExtendExtent(extent, p, mainAxis);
    });
    return extent;
}

// `p` slid along the axes of `moveAxes` onto the line through `low` with
// direction `direction`; its main-axis coordinate stays. A vertex with a NaN
// or infinite coordinate stays where it is.
static Point3 SlideOntoLine(const Point3& p, const Point3& low, const Point3& direction,
                            int mainAxis, const int moveAxes[3])
{
    Point3 moved = p;
    if (AxisCoordinate(direction, mainAxis) == 0.0f || !IsFinitePoint(p))
        return moved;
    for (int axis = 0; axis < 3; ++axis) {
        if (!moveAxes[axis])
            continue;
        const double value =
            LineCoordinate(AxisCoordinate(p, mainAxis), low, direction, mainAxis, axis);
        SetAxisCoordinate(moved, axis, FiniteOr(value, AxisCoordinate(p, axis)));
    }
    return moved;
}

void ArrangeVertices(DocumentHandle document, const ArrangeSettings& settings)
{
    const int mainAxis = settings.mainAxis;
    int moveAxes[3];
    CrossAxesToMove(settings, moveAxes);
    const int objectCount = DocGetObjectCount(document);
    const AxisExtent extent = SelectedVertexExtent(document, objectCount, mainAxis);
    if (extent.count == 0)
        return;
    const Point3 direction = Subtract(extent.high, extent.low);
    ForEachSelectedVertex(document, objectCount, [&](ObjectHandle object, int, int v) {
        const Point3 p = ObjGetVertex(object, v);
        ObjSetVertex(object, v, SlideOntoLine(p, extent.low, direction, mainAxis, moveAxes));
    });
}

// --- Object mode -----------------------------------------------------------------

// The axis the reference point is chosen along: the first checked movement
// axis, or the main axis when none is checked.
static int ReferenceAxis(const ArrangeSettings& settings)
{
    if (settings.moveX > 0)
        return 0;
    if (settings.moveY > 0)
        return 1;
    if (settings.moveZ > 0)
        return 2;
    return settings.mainAxis;
}

// Record `objectIndex`: the object's reference point from its selected
// vertices (highest, mean or lowest along `referenceAxis`), valid when there
// is at least one. Vertices with a NaN or infinite coordinate are left out,
// and a reference point that overflowed makes the object take no part.
static ObjectAnchor FindAnchor(DocumentHandle document, int objectIndex, int referenceAxis,
                               int reference)
{
    ObjectAnchor anchor;
    SetZero(anchor.point);
    anchor.object = DocGetObject(document, objectIndex);
    anchor.objectIndex = objectIndex;
    anchor.valid = false;
    if (!anchor.object)
        return anchor;
    AxisExtent extent = EmptyExtent();
    Point3 sum;
    SetZero(sum);
    const int vertexCount = ObjGetVertexCount(anchor.object);
    for (int v = 0; v < vertexCount; ++v) {
        if (!IsSelectedVertex(document, anchor.object, objectIndex, v))
            continue;
        const Point3 p = ObjGetVertex(anchor.object, v);
        if (!IsFinitePoint(p))
            continue;
        ExtendExtent(extent, p, referenceAxis);
        AddInPlace(sum, p);
    }
    if (extent.count == 0)
        return anchor;
    if (reference == 0)
        anchor.point = extent.high;
    else if (reference == 1)
        anchor.point = Divide(sum, static_cast<float>(extent.count));
    else
        anchor.point = extent.low;
    anchor.valid = IsFinitePoint(anchor.point);
    return anchor;
}

void SortAnchors(ObjectAnchor* anchors, int count, int mainAxis)
{
    for (int pass = 0; pass < count; ++pass) {
        for (int j = 0; j + 1 < count; ++j) {
            ObjectAnchor& a = anchors[j];
            ObjectAnchor& b = anchors[j + 1];
            const bool swap =
                !a.valid || (b.valid && AxisCoordinate(a.point, mainAxis) >
                                            AxisCoordinate(b.point, mainAxis));
            if (swap) {
                const ObjectAnchor kept = a;
                a = b;
                b = kept;
            }
        }
    }
}

// The offset that brings reference point `r`, at sorted position `k` of
// `validCount`, onto the line from `low` to `high`.
static Point3 AnchorOffset(const Point3& r, int k, int validCount, const Point3& low,
                           const Point3& high, const ArrangeSettings& settings)
{
    const int mainAxis = settings.mainAxis;
    int moveAxes[3];
    CrossAxesToMove(settings, moveAxes);
    const Point3 direction = Subtract(high, low);
    Point3 offset;
    SetZero(offset);
    if (AxisCoordinate(direction, mainAxis) != 0.0f) {
        for (int axis = 0; axis < 3; ++axis) {
            if (!moveAxes[axis])
                continue;
            const double value =
                LineCoordinate(AxisCoordinate(r, mainAxis), low, direction, mainAxis, axis) -
                double(AxisCoordinate(r, axis));
            SetAxisCoordinate(offset, axis, FiniteOr(value, 0.0f));
        }
    }
    if (settings.equalDivision && validCount > 1) {
        // The product with k first, then the division by the gap count.
        const double lowMain = double(AxisCoordinate(low, mainAxis));
        const double span = double(AxisCoordinate(high, mainAxis)) - lowMain;
        const double value = span * double(k) / double(validCount - 1) + lowMain -
                             double(AxisCoordinate(r, mainAxis));
        SetAxisCoordinate(offset, mainAxis, FiniteOr(value, 0.0f));
    }
    return offset;
}

// Adds `offset` to the selected vertices of the anchor's object, or to all of
// its used vertices when `moveAll` is set.
static void MoveAnchoredObject(DocumentHandle document, const ObjectAnchor& anchor,
                               const Point3& offset, int moveAll)
{
    const int vertexCount = ObjGetVertexCount(anchor.object);
    for (int v = 0; v < vertexCount; ++v) {
        if (ObjGetVertexRefCount(anchor.object, v) == 0)
            continue;
        const int selected = IsReportedSelected(document, anchor.objectIndex, v);
        if (!selected && !moveAll)
            continue;
        Point3 p = ObjGetVertex(anchor.object, v);
        AddInPlace(p, offset);
        ObjSetVertex(anchor.object, v, p);
    }
}

bool ArrangeObjects(DocumentHandle document, const ArrangeSettings& settings)
{
    const int objectCount = DocGetObjectCount(document);
    const int count = objectCount > 0 ? objectCount : 0;
    ObjectAnchor* anchors = new (std::nothrow) ObjectAnchor[static_cast<size_t>(count)];
    if (!anchors)
        return false;

    const int referenceAxis = ReferenceAxis(settings);
    for (int o = 0; o < count; ++o)
        anchors[o] = FindAnchor(document, o, referenceAxis, settings.reference);

    AxisExtent ends = EmptyExtent();
    for (int o = 0; o < count; ++o)
        if (anchors[o].valid)
            ExtendExtent(ends, anchors[o].point, settings.mainAxis);

    SortAnchors(anchors, count, settings.mainAxis);
    for (int k = 0; k < ends.count; ++k) {
        assert(anchors[k].valid);
        const Point3 offset =
            AnchorOffset(anchors[k].point, k, ends.count, ends.low, ends.high, settings);
        MoveAnchoredObject(document, anchors[k], offset, settings.moveAll);
    }
    delete[] anchors;
    return true;
}

// --- The command -------------------------------------------------------------------

int ArrangeOnLine(DocumentHandle document)
{
    ArrangeSettings settings;
    if (!AskArrangeSettings(SysGetWindowHandle(), settings))
        return 1;
    if (settings.objectMode)
        ArrangeObjects(document, settings);   // a failed allocation moved nothing
    else
        ArrangeVertices(document, settings);
    return 1;
}

}  // namespace kivera
