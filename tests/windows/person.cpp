#include "tests/windows/person.h"

#include <cassert>

namespace kivera_test {

// Timer period, and how many periods a window may stay open after its action.
constexpr UINT kTickMilliseconds = 10;
constexpr int kTicksBeforeForcedClose = 300;

struct Watch {
    const std::vector<WindowAction>* actions = nullptr;
    HWND pending = nullptr;     // created, its action not run yet
    HWND lastActed = nullptr;   // its action ran; should be closing
    int ticksAfterAction = 0;
    PersonReport report;
};

// One watch at a time: the suite runs on one thread.
static Watch* currentWatch = nullptr;

static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    Watch* watch = currentWatch;
    if (code == HCBT_CREATEWND && watch) {
        HWND created = reinterpret_cast<HWND>(wParam);
        if (ClassNameOf(created) == "#32770") {
            ++watch->report.windowsSeen;
            if (!watch->pending)
                watch->pending = created;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Watch* watch = currentWatch;
    if (!watch)
        return;
    const int next = watch->report.actionsRun;
    if (watch->pending && IsWindow(watch->pending) &&
        next < static_cast<int>(watch->actions->size())) {
        // The modal loop runs only after WM_INITDIALOG: the window is complete.
        HWND window = watch->pending;
        watch->pending = nullptr;
        watch->lastActed = window;
        watch->ticksAfterAction = 0;
        ++watch->report.actionsRun;
        (*watch->actions)[static_cast<size_t>(next)](window);
        return;
    }
    HWND open = watch->pending ? watch->pending : watch->lastActed;
    if (open && IsWindow(open) && ++watch->ticksAfterAction == kTicksBeforeForcedClose) {
        watch->report.leftOpen = true;
        EndDialog(open, IDCANCEL);
    }
}

PersonReport WithPerson(const std::function<void()>& opener,
                        const std::vector<WindowAction>& actions)
{
    assert(!currentWatch);
    Watch watch;
    watch.actions = &actions;
    currentWatch = &watch;
    HHOOK hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMilliseconds, Tick);
    opener();
    KillTimer(nullptr, timer);
    if (hook)
        UnhookWindowsHookEx(hook);
    currentWatch = nullptr;
    // Drop a tick that arrived after the last window closed.
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    return watch.report;
}

PersonReport WithPerson(const std::function<void()>& opener, const WindowAction& action)
{
    return WithPerson(opener, std::vector<WindowAction>{action});
}

bool Click(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return false;
    SendMessageA(control, BM_CLICK, 0, 0);
    return true;
}

int CheckState(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return -1;
    return static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
}

std::string WindowTextA(HWND window)
{
    char text[512];
    const int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring WindowTextW(HWND window)
{
    wchar_t text[512];
    const int length = GetWindowTextW(window, text, sizeof text / sizeof text[0]);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string ClassNameOf(HWND window)
{
    char name[64];
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace kivera_test
