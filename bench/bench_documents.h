// The documents the benchmark runs the commands on: regular grids of quads in
// the stand-in host, with the selection a modeler would make before each
// command.
#pragma once

#include <string>

#include "frame/command_ids.h"
#include "host/library/document.h"

namespace bench {

// A grid of columns x rows quads, (columns + 1) x (rows + 1) vertices.
struct GridShape {
    int columns;
    int rows;
};

// The most nearly square grid of exactly `faceCount` quads (columns >= rows).
GridShape ShapeForFaceCount(int faceCount);

// One measured command: the command, the answer to its dialog
// (KIVERA_DIALOG, empty when it has none) and what the document holds when
// it starts. Its row and name come from the command's identity.
struct Scenario {
    CommandId command;
    const char* dialog;
    const char* setup;   // one line for the report
    // Set for a stress case beside the command's realistic scenario, which
    // then goes by this name: far more work than a modeler would ask for at
    // once (every segment of a mesh split, a copy numbered at random), so
    // that the worst case is measured too.
    const char* stressName = nullptr;
};

inline bool IsStress(const Scenario& scenario) { return scenario.stressName != nullptr; }

// The command table row the scenario runs.
int ScenarioRow(const Scenario& scenario);

// The name in the report: the command's English name, or the stress case's.
const char* ScenarioName(const Scenario& scenario);

constexpr int kScenarioCount = 21;
extern const Scenario kScenarios[kScenarioCount];

// Index into kScenarios of the scenario named `name` (its name or the
// row number of its command), -1 when none matches.
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
