// One face of a mesh as the geometry sees it: up to four points. The
// commands are built for faces of at most four points (two-point faces are
// lines); a face with more does not fit their point arrays, so every command
// treats it exactly like an empty slot, with a count of 0.
#pragma once

constexpr int kMaxFacePoints = 4;

struct MeshFace {
    int points[kMaxFacePoints];   // slots at and beyond `count` hold -1
    int count;                    // 0: an empty slot or a face of more than four points
};
