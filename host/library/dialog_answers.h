// Answers to the plug-in's two dialogs from the command line: control ids or
// names ("main-x move-y ok"), checked against the dialog of the command they
// answer before anything runs, turned into the ids the dialog player clicks,
// and played here too, so that a command that changed nothing can be told
// what the dialog chose.
#pragma once

#include <string>
#include <vector>

namespace host {

// The dialog template command table row `row` shows (101 or 102), or 0.
int DialogOfCommandRow(int row);

// Turns `answer` (blank-separated ids or names, any case) into the ids of
// dialog `dialogId`, blank-separated. False with `error` naming the first
// token the dialog lacks and listing the dialog's controls.
bool DialogAnswerIds(const std::string& answer, int dialogId, std::string& ids, std::string& error);

// What a scripted answer chose, as the dialog procedure sees it at OK.
struct DialogChoice {
    bool ok = false;              // OK was clicked (else closed as Cancel or Escape)
    std::vector<int> checked;     // ids of the boxes checked at that moment
};

bool IsChecked(const DialogChoice& choice, int controlId);

// Plays translated `ids` on dialog `dialogId` as the plug-in's dialog does:
// the arrange dialog starts with main-x and centre checked, and its main
// axis and reference boxes each keep exactly one checked.
DialogChoice PlayDialogAnswer(int dialogId, const std::string& ids);

// Every dialog with its controls, group by group: id, name and label.
std::string DialogListing();

}  // namespace host
