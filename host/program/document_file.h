// The host program's document files: a whole document (objects, vertices,
// faces with their UVs and materials, the selection, materials with their map
// names, the current object, the view matrix of scene 0) as human-editable
// JSON, and the choice between that format and Wavefront OBJ by file name.
//
// A document file, in short (every key but "objects" may be left out):
//
//   {
//     "format": "kivera-document", "version": 1,
//     "description": "one quad, one selected line",
//     "currentObject": 0,
//     "view": [1, 0, 0, 0,  0, 1, 0, 0,  0, 0, 1, 0,  0, 0, 0, 1],
//     "materials": [{"name": "wood", "texture": "wood.png", "alpha": "", "bump": ""}],
//     "objects": [
//       {"name": "quad",
//        "vertices": [[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0]],
//        "faces": [{"points": [0, 1, 2, 3], "uv": [[0, 0], [1, 0], [1, 1], [0, 1]],
//                   "material": 0, "selected": false, "selectedLines": [2]}],
//        "selectedVertices": [0]}
//     ]
//   }
//
// null stands for an empty object, material or face slot (a deleted face
// keeps its slot so that the other faces keep their indices). Coordinates
// are numbers, or the strings "nan", "inf" and "-inf"; they are written with
// the shortest text that reads back as the same float, so that save, load
// and save again give identical files.
#pragma once

#include <memory>
#include <string>

#include "host/library/document.h"

namespace host {

struct ObjSource;

// What a document file holds beyond the host's model.
struct DocumentInfo {
    std::string description;
    // The OBJ file the document was read from, kept so that writing it back
    // keeps what the document does not hold.
    std::shared_ptr<const ObjSource> objSource = nullptr;
    // Set before loading: read an OBJ file and its MTL files as Latin-1
    // (8-bit) text, their names converted to UTF-8.
    bool latin1 = false;
};

// Parses the text of a document file into `doc`, which must be empty.
// `fileName` only names the file in the error. False on any fault, with
// `error` one line: "FILE:LINE:COLUMN: what" for malformed JSON, "FILE:
// where: what" (for instance "FILE: object 0, face 3, point 2: ...") for a
// well-formed file that is not a valid document.
bool ParseDocumentText(const std::string& text, const std::string& fileName,
                       host::Document& doc, DocumentInfo& info, std::string& error);

// The text of a document file for `doc`: one vertex and one face per line.
std::string FormatDocumentText(const host::Document& doc, const DocumentInfo& info);

// Files whose name ends in ".obj" (any case) are Wavefront OBJ, ".json"
// document files; no other name is a document.
bool IsObjFileName(const std::string& path);
bool IsDocumentFileName(const std::string& path);
bool IsSvgFileName(const std::string& path);
// False, with a one-line `error` naming the file, for a name that is not a
// document's (.json, .obj), or with `picture` not a picture's (.svg).
bool CheckFileName(const std::string& path, bool picture, std::string& error);

// Loads a document file or an OBJ file into `doc` (which must be empty).
// `notes` receives remarks that are not errors (for instance what OBJ
// cannot hold). False with a one-line `error` naming the file.
bool LoadDocument(const std::string& path, host::Document& doc, DocumentInfo& info,
                  std::string& notes, std::string& error);

// Saves `doc` as a document file, or as OBJ (+ MTL) by the file name,
// through a temporary file; the target is replaced only on success. A
// document read from OBJ keeps the file's other statements when written
// back as OBJ (see obj_file.h). `notes` receives what the written file
// lacks of the one read.
bool SaveDocument(const std::string& path, const host::Document& doc, const DocumentInfo& info,
                  std::string& notes, std::string& error);
bool SaveDocument(const std::string& path, const host::Document& doc, const DocumentInfo& info,
                  std::string& error);

}  // namespace host
