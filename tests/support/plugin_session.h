// The real plug-in module bound to the stand-in host, as a host runs it.
#pragma once

#include <string>

#include "host/library/document.h"
#include "tests/support/test_support.h"

namespace kivera_test {

// Loads kivera.so, binds it to the stand-in host with MQInit, and points the
// host's type-5 folder at a fresh folder whose kivera.ini enables all
// nineteen commands, so that menu index n runs command table row n.
class PluginSession {
public:
    PluginSession();
    // MQModifySelect(row, &doc): runs command table row `row` on `doc`.
    int Run(int row, host::Document& doc) const;
    const PluginExports& plugin() const { return plugin_; }
    // The type-5 folder (holds kivera.ini, and kivera.idx once saved).
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
    const PluginExports& plugin_;
};

// Sets KIVERA_DIALOG (the clicks of the next dialogs) for its lifetime.
class DialogScript {
public:
    explicit DialogScript(const char* ids);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
};

// Runs `row` with the dialog answered by `ids` and returns what the command
// wrote to standard error (message boxes appear there as "caption: text").
struct RunOutput {
    int result;
    std::string messages;
};
RunOutput RunCapturingMessages(const PluginSession& session, int row, host::Document& doc,
                               const char* dialogIds = "2");

}  // namespace kivera_test
