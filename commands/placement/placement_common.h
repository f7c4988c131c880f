// Small helpers shared by the vertex placement commands.
#pragma once

#include <cassert>
#include <cmath>
#include <cstdint>

#include "hostaccess/host_api.h"
#include "hostaccess/object_loops.h"
#include "platform/platform.h"

namespace kivera {

// Coordinate `axis` (0 = x, 1 = y, 2 = z) of `p`.
inline float AxisCoordinate(const Point3& p, int axis)
{
    assert(axis >= 0 && axis <= 2);
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

inline void SetAxisCoordinate(Point3& p, int axis, float value)
{
    assert(axis >= 0 && axis <= 2);
    if (axis == 0)
        p.x = value;
    else if (axis == 1)
        p.y = value;
    else
        p.z = value;
}

// The OK and Cancel buttons of a placement command's dialog: OK reads the
// dialog's choices (readChoices()) and ends it with 1, Cancel ends it with
// 0. True when `id` was either (the message is handled).
template <typename ReadChoices>
bool EndOnOkOrCancel(DialogWindow dialog, uintptr_t id, ReadChoices readChoices)
{
    if (id == static_cast<uintptr_t>(kIdOk)) {
        readChoices();
        EndDialogBox(dialog, 1);
        return true;
    }
    if (id == static_cast<uintptr_t>(kIdCancel)) {
        EndDialogBox(dialog, 0);
        return true;
    }
    return false;
}

}  // namespace kivera
