// Progress of long steps (loading, running, saving) for a person at a
// terminal: after half a second a step shows "kivera-host: loading x.json
// ... 1.5 s" on standard error, updated until it ends. Nothing is shown when
// standard error is not a terminal, so pipes and logs stay clean.
#pragma once

#include <string>

namespace host {

// Decides once, at start-up, whether progress is shown (standard error is a
// terminal) and keeps its own handle on the terminal, which stays valid
// while a command's standard error is captured.
void InitProgress();

// Starts showing `what` (after a short delay); one step at a time.
void StartProgress(const std::string& what);
// Ends the step and clears its line.
void StopProgress();

}  // namespace host
