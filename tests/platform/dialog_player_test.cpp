// The dialog player that stands in for Windows dialogs on Linux, driven with
// a test dialog procedure on the module's own templates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dialog_templates.h"
#include "platform/platform.h"
#include "resources/resource.h"

namespace kivera_test {

using namespace kivera;

namespace {

struct Seen {
    std::vector<std::string> events;
    int checkedAtOk = -1;
};
Seen seen;

// Records what it sees; OK reads box X and ends with 1, Cancel ends with 0,
// WM_DESTROY tries to end with 7 (which must not change the result).
intptr_t KIVERA_CALLBACK RecordingProcedure(DialogWindow dialog, unsigned int message,
                                            DialogWParam wParam, DialogLParam)
{
    if (message == kMessageInitDialog) {
        seen.events.push_back("init");
        CheckDialogButton(dialog, IDC_RESTORE_Y, 1);
        return 0;
    }
    if (message == kMessageDestroy) {
        seen.events.push_back("destroy");
        EndDialogBox(dialog, 7);
        return 0;
    }
    if (message != kMessageCommand)
        return 0;
    const int id = static_cast<int>(wParam);
    seen.events.push_back(std::to_string(id) +
                          (IsDialogButtonChecked(dialog, id) ? "+" : ""));
    if (id == kIdOk) {
        seen.checkedAtOk = IsDialogButtonChecked(dialog, IDC_RESTORE_X) * 100 +
                           IsDialogButtonChecked(dialog, IDC_RESTORE_Y) * 10 +
                           IsDialogButtonChecked(dialog, IDC_RESTORE_Z);
        EndDialogBox(dialog, 1);
    } else if (id == kIdCancel) {
        EndDialogBox(dialog, 0);
    }
    return 0;
}

intptr_t Play(const char* script)
{
    seen = Seen();
    if (script)
        setenv("KIVERA_DIALOG", script, 1);
    else
        unsetenv("KIVERA_DIALOG");
    return RunDialog(IDD_RESTORE, nullptr, RecordingProcedure);
}

using Events = std::vector<std::string>;

TEST(DialogPlayer, ClicksToggleBoxesAndSendCommandsInOrder)
{
    EXPECT_EQ(Play("1008 1010 1010 1"), 1);
    EXPECT_EQ(seen.events, (Events{"init", "1008+", "1010+", "1010", "1", "destroy"}));
    EXPECT_EQ(seen.checkedAtOk, 110);   // X clicked, Y checked at start, Z twice
    EXPECT_EQ(Play("x Z z Ok"), 1);     // the same by name
    EXPECT_EQ(seen.events, (Events{"init", "1008+", "1010+", "1010", "1", "destroy"}));
}

TEST(DialogPlayer, ClicksAfterTheEndAreIgnored)
{
    EXPECT_EQ(Play("2 1008 1"), 0);
    EXPECT_EQ(seen.events, (Events{"init", "2", "destroy"}));
}

TEST(DialogPlayer, RunningOutOfClicksClosesAsEscape)
{
    EXPECT_EQ(Play("1009"), 0);
    EXPECT_EQ(seen.events, (Events{"init", "1009", "2", "destroy"}));
    EXPECT_EQ(Play(""), 0);
    EXPECT_EQ(seen.events, (Events{"init", "2", "destroy"}));
}

TEST(DialogPlayer, UnsetWithoutTerminalClosesAsEscape)
{
    // Under the test runner standard input is not a terminal.
    EXPECT_EQ(Play(nullptr), 0);
    EXPECT_EQ(seen.events, (Events{"init", "2", "destroy"}));
}

TEST(DialogPlayer, UnknownControlEndsWithMinusOne)
{
    for (const char* script : {"1008 1011 1", "65535 1", "-1 1", "1x", "99999999999"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Play(script), -1) << script;
        const std::string error = testing::internal::GetCapturedStderr();
        EXPECT_NE(error.find("dialog 102"), std::string::npos) << error;
        EXPECT_EQ(seen.events.back(), "destroy");
    }
}

TEST(DialogPlayer, MissingTemplateFailsWithMinusOne)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunDialog(555, nullptr, RecordingProcedure), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("555"), std::string::npos);
}

TEST(DialogPlayer, TheArrangeDialogKnowsAllItsControls)
{
    const DialogTemplate* dialog = FindDialogTemplate(IDD_ARRANGE);
    ASSERT_NE(dialog, nullptr);
    for (int id : {1, 2, 1000, 1001, 1002, 1003, 1004, 1005, 1011, 1012, 1013, 1014, 1015, 1016})
        EXPECT_NE(FindDialogControl(*dialog, id), nullptr) << id;
    EXPECT_EQ(FindDialogControl(*dialog, 1008), nullptr);
}

}  // namespace

}  // namespace kivera_test
