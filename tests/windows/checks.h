// The check groups of the Windows suite, run in this order by main.cpp.
#pragma once

#include "tests/windows/suite.h"

namespace kivera_test {

// Exports before binding, MQInit against this program and against the
// program that lacks MQObj_Freeze. Leaves the plug-in bound to this program.
void RunBindingChecks(const Layout& layout, const Plugin& plugin);
// The menu's settings folder (from GetModuleFileNameA) and the index rule.
void RunMenuChecks(const Layout& layout, const Plugin& plugin);
// Dialogs 101 and 102 and the message boxes, driven by a person.
void RunDialogChecks(const Layout& layout, const Plugin& plugin);
// Dialogs 101 and 102 as Windows builds them from kivera.dll's resources,
// against the templates the Linux dialog player uses; their ANSI texts.
void RunTemplateChecks(const Layout& layout, const Plugin& plugin);
// The host functions the plug-in calls: shapes and conventions (at compile
// time), and the exported names against the functions so declared.
void RunSignatureChecks();

}  // namespace kivera_test
