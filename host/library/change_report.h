// What a command changed: the document before and after one command run,
// compared object by object (vertices moved and added, faces added and
// deleted, selection gained and lost, UVs rewritten) and material by
// material (map names set), as a person reads it after `kivera-host run`.
#pragma once

#include <string>
#include <vector>

#include "host/library/document.h"

namespace host {

// Indices of one kind of change, ascending.
using IndexList = std::vector<int>;

// A line of a face: (face, line).
struct LineRef {
    int face;
    int line;
};

struct ObjectChanges {
    int objectIndex = 0;
    std::string name;
    bool added = false;     // an empty slot (or no slot) before
    bool removed = false;   // an empty slot (or no slot) after
    IndexList verticesMoved, verticesAdded;
    int verticesRemoved = 0;
    IndexList facesAdded, facesDeleted, facesRewritten;   // rewritten: other points
    IndexList verticesSelected, verticesDeselected;
    IndexList facesSelected, facesDeselected;
    std::vector<LineRef> linesSelected, linesDeselected;
    IndexList uvsRewritten;      // faces whose UVs changed
    IndexList materialsChanged;  // faces whose material changed
};

struct MaterialChanges {
    int materialIndex = 0;
    std::string name;
    // Each map kind that was set (also to the same name, which makes the host
    // read the file anew): kind ("texture", "alpha", "bump") and the name now.
    std::vector<std::pair<std::string, std::string>> mapsSet;
};

struct ChangeReport {
    std::vector<ObjectChanges> objects;   // only objects with a change
    std::vector<MaterialChanges> materials;
    bool currentObjectChanged = false;
    int currentObjectBefore = 0, currentObjectAfter = 0;
    bool viewChanged = false;
};

ChangeReport CompareDocuments(const host::Document& before, const host::Document& after);
bool IsEmpty(const ChangeReport& report);

// Indented lines, one per kind of change ("    vertices moved: 4 (5-6, 9-10)").
// `indent` starts every line.
std::string FormatChangeReport(const ChangeReport& report, const std::string& indent);

// "0-3, 5, 9-12", at most `limit` runs, then ", ...".
std::string FormatIndexRuns(const IndexList& indices, std::size_t limit = 12);

}  // namespace host
