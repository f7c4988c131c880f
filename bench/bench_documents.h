// The documents the benchmark runs the commands on: regular grids of quads in
// the stand-in host, with the selection a modeler would make before each
// command.
#pragma once

#include <string>

#include "host/library/document.h"

namespace bench {

// A grid of columns x rows quads, (columns + 1) x (rows + 1) vertices.
struct GridShape {
    int columns;
    int rows;
};

// The most nearly square grid of exactly `faceCount` quads (columns >= rows).
GridShape ShapeForFaceCount(int faceCount);

// One measured command: its command table row, a short name for the table,
// the answer to its dialog (KIVERA_DIALOG, empty when it has none) and what
// the document holds when it starts.
struct Scenario {
    int row;
    const char* name;
    const char* dialog;
    const char* setup;   // one line for the report
    // A stress case beside the command's realistic scenario: far more work
    // than a modeler would ask for at once (every segment of a mesh split,
    // a copy numbered at random), so that the worst case is measured too.
    bool stress = false;
};

constexpr int kScenarioCount = 21;
extern const Scenario kScenarios[kScenarioCount];

// Index into kScenarios of the command named `name` (short name or row
// number), -1 when none matches.
int FindScenario(const std::string& name);

// Fills the empty `doc` for scenario `scenario` around a main mesh of
// `faceCount` faces. The restore scenario also writes the saved-points file
// kivera.idx into `settingsFolder`. Returns false when that file cannot be
// written.
bool BuildScenarioDocument(int scenario, int faceCount, const std::string& settingsFolder,
                           host::Document& doc);

// A digest of everything a command may change (positions, faces, UVs,
// materials, selections, map reloads), to tell whether a run changed the
// document at all.
unsigned long long DocumentDigest(const host::Document& doc);

}  // namespace bench
