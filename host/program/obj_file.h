// Wavefront OBJ (+ MTL) import and export, so that results open in any 3D
// tool. OBJ holds objects, positions, faces, per-corner UVs (as "vt"), lines
// ("l", the host's two-point faces), points ("p", one-point faces) and
// material names with their texture, alpha and bump maps (in the MTL file).
// It holds no selection, no current object, no view and no empty slots.
//
// Reading is strict: every number is read whole, a text that is not UTF-8
// is refused, and every fault is one line "FILE:LINE:COLUMN: what".
//
// OBJ polygons run counter-clockwise seen from their front, the host's run
// clockwise: a polygon's points (with their UV and normal references) are
// reversed when read and again when written, so that commands see the front
// a modeller sees and an untouched file comes back the same.
//
// UVs are written as the host holds them (no flip of v). On import every
// "o"/"g" with geometry becomes one object; an object's polygons come first,
// then its lines, then its points. Vertices that no face uses are kept when
// the file has one object only; a vertex that the faces of several objects
// use is copied into each.
//
// What the document does not model (normals, smoothing groups, comments,
// vertex colours, the MTL's other statements) is kept in an ObjSource beside
// the document; writing the document back patches the source's lines, so a
// file read and written unchanged comes back the same.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/library/document.h"

namespace host {

// A line of a text file: [start, end) without the line end; `next` is where
// the following line starts.
struct TextLine {
    std::size_t start, end, next;
};

// A corner of an "f", "l" or "p" statement, as file indices from 0 (-1 = none).
struct ObjCorner {
    int vertex, uv, normal;
};

// One face of the file: an "f" line, or one segment of an "l" line or one
// point of a "p" line.
struct ObjFaceRecord {
    int line;
    char kind;                  // 'f', 'l' or 'p'
    bool relative;              // the line uses negative (relative) indices
    int material;               // the "usemtl" in force, as a material index or -1
    std::size_t firstCorner;    // into ObjSource::corners
    int cornerCount;
};

struct ObjMtlFile {
    std::string path;   // as read
    std::string text;
    std::vector<TextLine> lines;
};

struct ObjMaterialRecord {
    int file = -1;        // into ObjSource::mtlFiles
    int lastLine = -1;    // the material's last statement
    int mapLine[3] = {-1, -1, -1};   // the statements of texture, alpha and bump map
};

struct ObjObjectRecord {
    std::vector<int> fileVertex;   // the object's vertices as file vertices
    std::vector<int> faces;        // the object's faces as ObjSource::faces indices
};

struct ObjSource {
    std::string path;
    std::string text;
    std::vector<TextLine> lines;
    std::string newline;                     // "\n" or "\r\n", as the file has it
    std::vector<int> vertexLine;             // per file vertex
    std::vector<int> uvLine;                 // per file texture coordinate
    int normalCount = 0, smoothingCount = 0, commentCount = 0, colourCount = 0;
    std::vector<ObjFaceRecord> faces;
    std::vector<ObjCorner> corners;
    std::vector<std::string> materialNames;  // as "usemtl" names them, per material
    std::vector<ObjObjectRecord> objects;    // per document object
    std::vector<ObjMtlFile> mtlFiles;
    std::vector<ObjMaterialRecord> materials;   // per document material
    bool latin1 = false;                     // read as Latin-1: names converted to UTF-8
    int mtlOtherStatements = 0;              // MTL statements other than names and maps
    std::map<std::string, int> otherStatements;   // OBJ statements no document holds ("vp", ...)
    host::Document loaded;                   // the document as read
};

// Reads an OBJ file (and the MTL files it names) into `doc`, which must be
// empty, and `source` (may be null) with what the document does not hold.
// False with a one-line `error` "FILE:LINE:COLUMN: what". `notes` receives
// remarks: what the file lost on the way, warnings.
// With `latin1` the files are read as Latin-1 (8-bit) text and their names
// converted to UTF-8 in the document; untouched lines keep their bytes.
bool ImportObj(const std::string& path, host::Document& doc,
               std::shared_ptr<const ObjSource>* source, std::string& notes, std::string& error,
               bool latin1 = false);
bool ImportObj(const std::string& path, host::Document& doc, std::string& notes,
               std::string& error);

// Writes `doc` to `path` and, when it has materials, the MTL file beside it
// (same name, ".mtl"), each through a temporary file. With a `source` (the
// file the document was read from), the source's statements are kept and
// patched with what the commands changed; when that cannot be done, `path`
// being the source itself is refused, with `error` naming what would be
// lost. `notes` receives what the written file lacks.
bool ExportObj(const std::string& path, const host::Document& doc, const ObjSource* source,
               std::string& notes, std::string& error);
bool ExportObj(const std::string& path, const host::Document& doc, std::string& error);

// The files besides `path` that ExportObj writes for `doc`: the MTL file
// beside a new OBJ file (none when `path` is `source`'s own file, whose MTL
// files are its own input).
std::vector<std::string> ObjCompanionFiles(const std::string& path, const host::Document& doc,
                                           const ObjSource* source);
// The files a document was read from: the OBJ file and its MTL files.
std::vector<std::string> ObjInputFiles(const ObjSource& source);

// What a file of another format written from a document read from
// `source` lacks ("its 747 normals, ..."); empty when nothing.
std::string ObjContentsBeyondTheDocument(const ObjSource& source);

// The texts ExportObj writes without a source; `mtlFileName` is named by
// "mtllib" when not empty.
std::string FormatObjText(const host::Document& doc, const std::string& mtlFileName);
std::string FormatMtlText(const host::Document& doc);

}  // namespace host
