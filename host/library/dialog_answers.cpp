#include "host/library/dialog_answers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "frame/command_ids.h"
#include "host/library/command_names.h"
#include "platform/dialog_templates.h"
#include "resources/resource.h"

namespace host {

static constexpr int kArrangeRow = RowOf(CommandId::ArrangeOnLine);
static constexpr int kRestoreRow = RowOf(CommandId::RestorePoints);
static constexpr int kOkId = 1;
static constexpr int kCancelId = 2;

int DialogOfCommandRow(int row)
{
    return row == kArrangeRow ? IDD_ARRANGE : row == kRestoreRow ? IDD_RESTORE : 0;
}

static std::vector<std::string> Tokens(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> tokens;
    std::string token;
    while (in >> token)
        tokens.push_back(token);
    return tokens;
}

static const char* CommandOfDialog(int dialogId)
{
    return CommandName(dialogId == IDD_ARRANGE ? kArrangeRow : kRestoreRow);
}

bool DialogAnswerIds(const std::string& answer, int dialogId, std::string& ids, std::string& error)
{
    const DialogTemplate* dialog = FindDialogTemplate(dialogId);
    if (!dialog) {
        error = "no dialog " + std::to_string(dialogId);
        return false;
    }
    ids.clear();
    for (const std::string& token : Tokens(answer)) {
        const DialogControl* control = FindDialogControlByToken(*dialog, token.c_str());
        if (control) {
            ids += (ids.empty() ? "" : " ") + std::to_string(control->id);
            continue;
        }
        error = "--dialog \"" + answer + "\": dialog " + std::to_string(dialogId) + " (" +
                CommandOfDialog(dialogId) + ") has no control \"" + token + "\"; it has";
        int slots[kMaxDialogControls];
        const int count = ControlsInShownOrder(*dialog, slots);
        for (int k = 0; k < count; ++k) {
            const DialogControl& c = dialog->controls[slots[k]];
            error += std::string(k == 0 ? " " : ", ") + c.name + " (" + std::to_string(c.id) + ")";
        }
        return false;
    }
    return true;
}

bool IsChecked(const DialogChoice& choice, int controlId)
{
    return std::find(choice.checked.begin(), choice.checked.end(), controlId) !=
           choice.checked.end();
}

static void SetChecked(DialogChoice& choice, int id, bool on)
{
    choice.checked.erase(std::remove(choice.checked.begin(), choice.checked.end(), id),
                         choice.checked.end());
    if (on)
        choice.checked.push_back(id);
}

DialogChoice PlayDialogAnswer(int dialogId, const std::string& ids)
{
    static const std::vector<std::vector<int>> kOneOf = {
        {IDC_MAIN_X, IDC_MAIN_Y, IDC_MAIN_Z},
        {IDC_REFERENCE_MAX, IDC_REFERENCE_CENTRE, IDC_REFERENCE_MIN}};
    DialogChoice choice;
    if (dialogId == IDD_ARRANGE)
        choice.checked = {IDC_MAIN_X, IDC_REFERENCE_CENTRE};
    for (const std::string& token : Tokens(ids)) {
        const int id = std::atoi(token.c_str());
        if (id == kOkId || id == kCancelId) {
            choice.ok = id == kOkId;
            break;
        }
        bool grouped = false;
        if (dialogId == IDD_ARRANGE) {
            for (const std::vector<int>& group : kOneOf) {
                if (std::find(group.begin(), group.end(), id) == group.end())
                    continue;
                for (int box : group)
                    SetChecked(choice, box, box == id);
                grouped = true;
            }
        }
        if (!grouped)
            SetChecked(choice, id, !IsChecked(choice, id));
    }
    if (!choice.ok)
        choice.checked.clear();
    return choice;
}

std::string DialogListing()
{
    std::string text;
    for (int dialogId : {IDD_ARRANGE, IDD_RESTORE}) {
        const DialogTemplate& dialog = *FindDialogTemplate(dialogId);
        text += "dialog " + std::to_string(dialogId) + " (" + CommandOfDialog(dialogId) + ")\n";
        int slots[kMaxDialogControls];
        const int count = ControlsInShownOrder(dialog, slots);
        for (int k = 0; k < count; ++k) {
            const DialogControl& c = dialog.controls[slots[k]];
            if (k == 0 || dialog.controls[slots[k - 1]].purpose != c.purpose)
                text += std::string("  ") + ControlGroupTitle(c.purpose) + "\n";
            char line[160];
            std::snprintf(line, sizeof line, "    %4d  %-7s %s\n", c.id, c.name, c.text);
            text += line;
        }
    }
    return text;
}

}  // namespace host
