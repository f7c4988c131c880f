// SVG pictures of documents: faces (filled, far ones first), their edges,
// lines (two-point faces) and vertices, with the selection highlighted so
// that each kind shows: selected faces orange, selected lines red and thick,
// selected vertices as large blue dots. Several panels (before and after a
// command) share one scale, so that moves show as moves.
#pragma once

#include <string>
#include <vector>

#include "host/library/document.h"

namespace hostapp {

// The direction of view. Front looks along -z (x right, y up); top looks
// down along -y (x right, -z up); side looks along -x (-z right, y up);
// scene uses the view matrix of scene 0 (view = (x, y, z, 1) times the
// matrix, translation in entries 12 to 14; view x right, view y up).
enum class ViewKind { Front, Top, Side, Scene };

// "front", "top", "side", "scene"; false for anything else.
bool ParseViewKind(const std::string& text, ViewKind& view);

struct SvgPanel {
    const host::Document* doc;
    std::string title;   // UTF-8
};

struct SvgOptions {
    ViewKind view = ViewKind::Front;
    bool vertexLabels = false;   // vertex indices beside the vertices
};

// One picture of the panels side by side.
std::string RenderSvg(const std::vector<SvgPanel>& panels, const SvgOptions& options);

}  // namespace hostapp
