// A person at the screen: waits for the modal window that the plug-in opens
// on this thread (a dialog or a message box), then reads and clicks its
// controls as a user would, from inside the window's own modal loop.
//
// A thread-local CBT hook catches the creation of the dialog-class window
// ("#32770"); a thread timer, dispatched by the modal loop, hands the
// finished window to the action.
#pragma once

#include "tests/windows/windows_api.h"

#include <functional>
#include <string>
#include <vector>

namespace kivera_test {

// What the person does with one window once it is up; it should end the
// window (click OK, CANCEL, ...).
using WindowAction = std::function<void(HWND window)>;

struct PersonReport {
    int windowsSeen = 0;    // dialog-class windows created while watching
    int actionsRun = 0;     // actions run inside a modal loop
    bool leftOpen = false;  // an action did not end its window: closed with IDCANCEL
};

// Runs `opener`, which shows modal windows one after the other and returns
// after the last one closed, with the person watching: the n-th window gets
// the n-th action. A window that its action leaves open is ended with
// IDCANCEL after a while, so a failing check cannot hang the suite.
PersonReport WithPerson(const std::function<void()>& opener,
                        const std::vector<WindowAction>& actions);
PersonReport WithPerson(const std::function<void()>& opener, const WindowAction& action);

// Clicks a control of `dialog` as the mouse does (BM_CLICK): an auto check
// box toggles, and the dialog procedure gets its WM_COMMAND. False when the
// dialog has no such control.
bool Click(HWND dialog, int controlId);
// BST_CHECKED, BST_UNCHECKED, or -1 for a missing control.
int CheckState(HWND dialog, int controlId);

std::string WindowTextA(HWND window);
std::wstring WindowTextW(HWND window);
std::string ClassNameOf(HWND window);

}  // namespace kivera_test
