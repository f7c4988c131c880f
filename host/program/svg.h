// SVG pictures of documents: faces (filled and shaded by the angle they
// face, far ones first), their edges, lines (two-point faces) and vertices,
// with the selection highlighted so that each kind shows: selected faces
// orange, selected lines red and thick, selected vertices as blue dots. The
// selection is drawn over everything else, so that nothing hides it. Edge
// widths and dot sizes follow how densely the mesh is drawn, so that a
// picture of a hundred thousand faces is a shaded surface, not a black blob.
// Several panels (before and after a command) share one scale, so that moves
// show as moves.
#pragma once

#include <string>
#include <vector>

#include "host/library/document.h"

namespace host {

// The direction of view. Front looks along -z (x right, y up); top looks
// down along -y (x right, -z up); side looks along -x (-z right, y up); iso
// looks down from the front right (turned 35 degrees about y, tilted 30),
// showing the faces that front, top and side see at once (y up); scene uses the view matrix of scene 0 (view = (x, y, z, 1)
// times the matrix, translation in entries 12 to 14; view x right, view y up).
enum class ViewKind { Front, Top, Side, Iso, Scene };

// What the frame fits: every face (the vertices when there is none), or the
// selected faces, lines and vertices.
enum class FitKind { All, Selection };

// "front", "top", "side", "iso", "scene"; false for anything else.
bool ParseViewKind(const std::string& text, ViewKind& view);
// "all", "selection"; false for anything else.
bool ParseFitKind(const std::string& text, FitKind& fit);

struct SvgPanel {
    const host::Document* doc;
    std::string title;   // UTF-8
};

struct SvgOptions {
    ViewKind view = ViewKind::Front;
    FitKind fit = FitKind::All;
    bool vertexLabels = false;   // vertex indices beside the vertices
};

// One picture of the panels side by side. `note`, when given, is set to a
// line saying where the picture could not do as asked (nothing selected to
// fit), and cleared otherwise.
std::string RenderSvg(const std::vector<SvgPanel>& panels, const SvgOptions& options,
                      std::string* note = nullptr);

}  // namespace host
