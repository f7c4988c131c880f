// Dialogs 101 and 102 as Windows builds them from kivera.dll's resources,
// compared control by control with the templates the Linux dialog player
// uses (platform/dialog_templates.cpp), so the two cannot drift apart; and
// their texts as the ANSI (code page 932) strings a dialog procedure reads.
#include "frame/command_ids.h"
#include "tests/windows/windows_api.h"

#include <string>
#include <vector>

#include "platform/dialog_templates.h"
#include "resources/resource.h"
#include "tests/windows/checks.h"
#include "tests/windows/harness.h"
#include "tests/windows/person.h"

namespace kivera_test {

constexpr int kArrangeRow = RowOf(CommandId::ArrangeOnLine);
constexpr int kRestoreRow = RowOf(CommandId::RestorePoints);

// One control as the window manager holds it, positions in dialog client
// pixels.
struct BuiltControl {
    int id;
    std::string className;
    LONG style;
    std::wstring text;
    std::string ansiText;
    RECT rect;
};

struct BuiltDialog {
    LONG style = 0;
    std::string ansiCaption;
    RECT client = {};
    RECT expectedClient = {};   // the template's size mapped to pixels
    std::string ansiFontFace;
    std::vector<BuiltControl> controls;   // in Z order, which is template order
    std::vector<RECT> expectedRects;      // each Linux template rect mapped to pixels
};

static std::wstring Utf8ToWide(const char* text)
{
    wchar_t wide[256];
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 256);
    return length > 0 ? std::wstring(wide, static_cast<size_t>(length - 1)) : std::wstring();
}

// Position and size are converted each on its own, as the dialog manager
// does when it creates the controls (so the far edge rounds with the size).
static RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height)
{
    RECT units = {x, y, width, height};
    MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

// Reads the dialog while it is up, then cancels it.
static WindowAction ReadDialog(const DialogTemplate& player, BuiltDialog& built)
{
    return [&player, &built](HWND dialog) {
        built.style = GetWindowLongA(dialog, GWL_STYLE);
        built.ansiCaption = WindowTextA(dialog);
        GetClientRect(dialog, &built.client);
        built.expectedClient = DialogUnitsToPixels(dialog, 0, 0, player.width, player.height);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        LOGFONTA logFont = {};
        if (font && GetObjectA(font, sizeof logFont, &logFont))
            built.ansiFontFace = logFont.lfFaceName;
        HWND child = GetWindow(dialog, GW_CHILD);
        for (; child; child = GetWindow(child, GW_HWNDNEXT)) {
            BuiltControl control;
            control.id = GetDlgCtrlID(child);
            control.className = ClassNameOf(child);
            control.style = GetWindowLongA(child, GWL_STYLE);
            control.text = WindowTextW(child);
            control.ansiText = WindowTextA(child);
            GetWindowRect(child, &control.rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&control.rect), 2);
            built.controls.push_back(control);
        }
        for (int i = 0; i < player.controlCount; ++i) {
            const DialogControl& c = player.controls[i];
            built.expectedRects.push_back(DialogUnitsToPixels(dialog, c.x, c.y, c.width, c.height));
        }
        Click(dialog, IDCANCEL);
    };
}

static const char* ClassOf(ControlKind kind)
{
    return kind == ControlKind::Static ? "Static" : "Button";
}

static LONG TypeOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Static: return SS_LEFT;
    case ControlKind::AutoCheckBox: return BS_AUTOCHECKBOX;
    case ControlKind::PushButton: return BS_PUSHBUTTON;
    case ControlKind::DefaultPushButton: return BS_DEFPUSHBUTTON;
    }
    return -1;
}

static std::string RectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// Compares every control; returns the first difference, empty when none.
static std::string FirstDifference(const DialogTemplate& player, const BuiltDialog& built)
{
    if (static_cast<int>(built.controls.size()) != player.controlCount)
        return "Windows built " + std::to_string(built.controls.size()) +
               " controls, the player knows " + std::to_string(player.controlCount);
    for (int i = 0; i < player.controlCount; ++i) {
        const DialogControl& expected = player.controls[i];
        const BuiltControl& control = built.controls[static_cast<size_t>(i)];
        const std::string where = "control " + std::to_string(i) + " (id " +
                                  std::to_string(expected.id) + "): ";
        if (control.id != (expected.id & 0xFFFF))
            return where + "id " + std::to_string(control.id);
        if (control.className != ClassOf(expected.kind))
            return where + "class " + control.className;
        const LONG typeMask = expected.kind == ControlKind::Static ? SS_TYPEMASK : BS_TYPEMASK;
        if ((control.style & typeMask) != TypeOf(expected.kind))
            return where + "type style " + std::to_string(control.style & typeMask);
        if (((control.style & WS_TABSTOP) != 0) != expected.tabStop)
            return where + "tab stop differs";
        if (((control.style & WS_GROUP) != 0) != expected.group)
            return where + "group differs";
        if ((control.style & (WS_CHILD | WS_VISIBLE)) != (WS_CHILD | WS_VISIBLE))
            return where + "not a visible child";
        if (control.text != Utf8ToWide(expected.text))
            return where + "text \"" + Escaped(control.ansiText) + "\"";
        const RECT& rect = built.expectedRects[static_cast<size_t>(i)];
        if (!EqualRect(&control.rect, &rect))
            return where + "at " + RectText(control.rect) + ", expected " + RectText(rect);
    }
    return "";
}

static BuiltDialog BuildDialog(const Plugin& plugin, int row, const DialogTemplate& player)
{
    host::Document doc;
    BuiltDialog built;
    const PersonReport report =
        WithPerson([&] { plugin.modifySelect(row, &doc); }, ReadDialog(player, built));
    Check(report.windowsSeen == 1 && report.actionsRun == 1 && !report.leftOpen,
          "dialog " + std::to_string(player.id) + " opens and closes");
    return built;
}

// The ANSI text of the control with `id` (the first one with that id).
static std::string AnsiTextOf(const BuiltDialog& built, int id, int occurrence = 0)
{
    for (const BuiltControl& control : built.controls)
        if (control.id == (id & 0xFFFF) && occurrence-- == 0)
            return control.ansiText;
    return "(missing)";
}

// The dialog font: "ＭＳ Ｐゴシック" in code page 932.
static const char kFontFace932[] = "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

void RunTemplateChecks(const Layout& layout, const Plugin& plugin)
{
    host::SetSystemPath(layout.appFolder);
    WriteBytes(JoinPath(layout.appFolder, "kivera.ini"), SettingsEnablingAll());

    Section("dialog 101 as Windows builds it");
    const DialogTemplate* arrange = FindDialogTemplate(IDD_ARRANGE);
    if (!Check(arrange != nullptr, "the player knows dialog 101"))
        return;
    const BuiltDialog a = BuildDialog(plugin, kArrangeRow, *arrange);
    const std::string arrangeDifference = FirstDifference(*arrange, a);
    Check(arrangeDifference.empty(),
          "each control matches the player's template: id, class, style, text, position",
          arrangeDifference);
    Check((a.style & WS_POPUP) && !(a.style & WS_CAPTION) && a.ansiCaption.empty(),
          "a popup without caption");
    Check(EqualRect(&a.client, &a.expectedClient), "193 x 97 dialog units",
          "client " + RectText(a.client) + ", expected " + RectText(a.expectedClient));

    Section("dialog 102 as Windows builds it");
    const DialogTemplate* restore = FindDialogTemplate(IDD_RESTORE);
    if (!Check(restore != nullptr, "the player knows dialog 102"))
        return;
    const BuiltDialog r = BuildDialog(plugin, kRestoreRow, *restore);
    const std::string restoreDifference = FirstDifference(*restore, r);
    Check(restoreDifference.empty(),
          "each control matches the player's template: id, class, style, text, position",
          restoreDifference);
    Check((r.style & WS_POPUP) && (r.style & WS_CAPTION) == WS_CAPTION && (r.style & WS_SYSMENU),
          "a popup with caption and system menu");
    Check(EqualRect(&r.client, &r.expectedClient), "121 x 79 dialog units",
          "client " + RectText(r.client) + ", expected " + RectText(r.expectedClient));

    Section("dialog texts as code page 932 ANSI strings");
    CheckEqual(AnsiTextOf(a, IDC_NO_ID, 0), "\x8E\xE5\x8E\xB2", "101 static: main axis");
    CheckEqual(AnsiTextOf(a, IDC_NO_ID, 1), "\x88\xDA\x93\xAE\x8E\xB2",
               "101 static: movement axis");
    CheckEqual(AnsiTextOf(a, IDC_REFERENCE_MAX), "\x8D\xC5\x91\xE5", "101 box 1012: max");
    CheckEqual(AnsiTextOf(a, IDC_REFERENCE_CENTRE), "\x92\x86\x90\x53", "101 box 1013: centre");
    CheckEqual(AnsiTextOf(a, IDC_REFERENCE_MIN), "\x8D\xC5\x8F\xAC", "101 box 1014: min");
    CheckEqual(AnsiTextOf(a, IDC_EQUAL_DIVISION), "\x93\x99\x95\xAA\x8A\x84",
               "101 box 1015: equal division");
    CheckEqual(AnsiTextOf(a, IDC_MOVE_ALL), "\x91\x53\x95\x94", "101 box 1016: all");
    CheckEqual(AnsiTextOf(a, IDC_OBJECT_MODE), "Object", "101 box 1011: Object");
    CheckEqual(AnsiTextOf(a, IDCANCEL), "CANCEL", "101 button 2: CANCEL");
    CheckEqual(r.ansiCaption, "\xC0\xDE\xB2\xB1\xDB\xB8\xDE", "102 caption, half-width kana");
    CheckEqual(AnsiTextOf(r, IDCANCEL), "\xB7\xAC\xDD\xBE\xD9", "102 button 2, half-width kana");
    CheckEqual(AnsiTextOf(r, IDC_RESTORE_X), "X", "102 box 1008: X");
    CheckEqual(a.ansiFontFace, kFontFace932, "101 font face");
    CheckEqual(r.ansiFontFace, kFontFace932, "102 font face");
}

}  // namespace kivera_test
