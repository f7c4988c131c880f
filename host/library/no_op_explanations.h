// Why a command changed nothing. After a command returns 0 or leaves the
// document as it was, kivera-host reads the document as it was before the
// command and names the first thing the command needs that it lacks ("
// select-points: no object has a selected face or line"). The rules are the
// commands' own, read from the document model; the plug-in is not asked.
#pragma once

#include <string>
#include <vector>

#include "host/library/dialog_answers.h"
#include "host/library/document.h"

namespace host {

struct CommandRun {
    int row = -1;                        // command table row
    int result = 0;                      // what MQModifySelect returned
    bool changed = false;                // the document differs afterwards
    std::vector<std::string> messages;   // message box lines
    std::string systemFolder;            // type 5: where kivera.idx lies
    // The dialog's answer as played, or nullptr when a person answered at
    // the terminal (unknown here).
    const DialogChoice* dialog = nullptr;
};

// One line for the report, or "" when there is nothing to explain: a
// command that changed something (save-points always says where it wrote).
std::string ExplainCommandRun(const host::Document& before, const CommandRun& run);

// A note on faces of more than four points ("12 faces have more than four
// points: every command skips them"), or "" when there are none.
std::string LargeFaceNote(const host::Document& doc);

}  // namespace host
