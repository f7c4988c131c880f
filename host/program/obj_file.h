// Wavefront OBJ (+ MTL) import and export, so that results open in any 3D
// tool. OBJ holds objects, positions, faces, per-corner UVs (as "vt"), lines
// ("l", the host's two-point faces), points ("p", one-point faces) and
// material names with their texture, alpha and bump maps (in the MTL file).
// It holds no selection, no current object, no view and no empty slots.
//
// UVs are written as the host holds them (no flip of v). On import every
// "o"/"g" with geometry becomes one object; an object's polygons come first,
// then its lines, then its points. Vertices that no face uses are kept when
// the file has one object only.
#pragma once

#include <string>

#include "host/library/document.h"

namespace hostapp {

// Reads an OBJ file (and the MTL files it names) into `doc`, which must be
// empty. False with a one-line `error` naming the file and the place (line,
// or object and face) of the fault. `notes` receives remarks: what the file
// lost on the way, warnings of the reader.
bool ImportObj(const std::string& path, host::Document& doc, std::string& notes,
               std::string& error);

// Writes `doc` to `path` and, when it has materials, the MTL file beside it
// (same name, ".mtl"), each through a temporary file.
bool ExportObj(const std::string& path, const host::Document& doc, std::string& error);

// The texts ExportObj writes; `mtlFileName` is named by "mtllib" when not empty.
std::string FormatObjText(const host::Document& doc, const std::string& mtlFileName);
std::string FormatMtlText(const host::Document& doc);

}  // namespace hostapp
