// Edits a person makes from the command line instead of by hand in a
// document file: selecting vertices, faces and lines by index
// (`kivera-host select`), and putting the objects of several documents into
// one (`kivera-host merge`).
#pragma once

#include <string>
#include <vector>

#include "host/library/document.h"

namespace host {

// What `kivera-host select` was asked; a list left empty ("") is not touched.
struct SelectionRequest {
    int object = -1;             // -1: the document's current object
    std::string vertices, faces, lines;   // "0,4,7-9"; lines "FACE:K" or "FACE:K-L"
    bool add = false;            // add to the selection instead of replacing it
    bool clear = false;          // first empty every selection of every object
    int current = -1;            // the new current object, or -1
    // Added to the selection of every object (after the kinds above):
    std::string group;           // the faces of every object of this name (an OBJ group)
    std::string material;        // the faces of this material
    double sharpEdges = -1.0;    // the lines whose two faces meet at more than this many degrees
    std::string viewRotation;    // "YAW,PITCH[,ROLL]" in degrees: the document's view
};

// Whether the request asks for anything at all.
bool SelectsAnything(const SelectionRequest& request);

// Reads "YAW,PITCH[,ROLL]" (degrees) into the view matrix as the host stores
// that view. False with `error` saying what is wrong.
bool ParseViewRotation(const std::string& text, float view[16], std::string& error);

// Reads "0,4,7-9" into ascending, distinct indices, each below `limit`.
// False with `error` saying which item is wrong.
bool ParseIndexList(const std::string& text, int limit, std::vector<int>& indices,
                    std::string& error);

// Applies `request` to `doc`. False with a one-line `error` naming the
// option and what is wrong (a bad list, an index out of range, an empty
// slot); `doc` is then unchanged.
bool ApplySelection(host::Document& doc, const SelectionRequest& request, std::string& error);

// Appends the objects of `part` to `merged` in order (empty slots stay, so
// every object keeps its place after those before it). Materials are merged
// by name: a material whose name `merged` already has is that one, any
// other is appended, and face materials follow. `notes` gets a line for
// every same-named material whose maps or colour differ (the first is kept).
void AppendDocument(host::Document& merged, host::Document&& part, const std::string& partName,
                    std::string& notes);

}  // namespace host
