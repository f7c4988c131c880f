// The host's side of the plug-in: loading kivera.so as a host loads a
// plug-in (by file name, never linked), binding it to the stand-in host
// library with MQInit, reading its menu with MQEnumString and running one
// menu entry with MQModifySelect while what it writes to standard error
// (message boxes, dialog prompts) is captured.
#pragma once

#include <string>
#include <vector>

#include "host/library/document.h"
#include "platform/shared_library.h"

namespace host {

// The seven exports of a loaded plug-in module.
struct PluginModule {
    LibraryHandle library = nullptr;
    std::string path;   // full path of the module file
    unsigned int (*checkVersion)(void) = nullptr;
    int (*init)(const char*) = nullptr;
    void (*getPlugInId)(unsigned int*, unsigned int*) = nullptr;
    const char* (*getPlugInName)(void) = nullptr;
    int (*getPlugInType)(void) = nullptr;
    const char* (*enumString)(int) = nullptr;
    int (*modifySelect)(int, void*) = nullptr;
};

// The interface version and plug-in type this host speaks.
constexpr unsigned int kHostInterfaceVersion = 0x231;
constexpr int kCommandPlugInType = 5;
// The plug-in fills 128-byte buffers with its own path and the settings
// folder: longer paths cannot reach it.
constexpr std::size_t kPluginPathLimit = 127;

// Loads the module at `path` and looks up its seven exports; checks that it
// is a command plug-in of this interface version. False with `error` (one
// line naming the file) otherwise. The module stays loaded.
bool LoadPluginModule(const std::string& path, PluginModule& module, std::string& error);

// The full path of the stand-in host library this program runs with (the
// library exporting the 122 host functions), or "" when unknown.
std::string HostLibraryPath();

// MQInit with the host library's path. False with `error` when the plug-in
// reports that it could not bind every host function.
bool BindPlugin(const PluginModule& module, std::string& error);

// The folder the plug-in reads its menu's kivera.ini from: the folder above
// the module's own folder.
std::string PluginSettingsFolder(const PluginModule& module);

// The menu: MQEnumString(0), (1), ... up to the first null, as the plug-in's
// code page 932 bytes.
std::vector<std::string> ReadMenu(const PluginModule& module);

// The program's own folder (where kivera-host lies), from /proc/self/exe.
std::string ProgramFolder();

struct CommandOutcome {
    int result = 0;
    std::string messages;   // what the plug-in wrote to standard error
};

// MQModifySelect(index, &doc). `dialog`, when not null, answers the
// command's dialog as KIVERA_DIALOG does; else a person at a terminal is
// asked (or the dialog closes as by Escape without one). `echo` passes what
// the plug-in writes to standard error on at once (for a person answering a
// dialog on the terminal) besides capturing it.
CommandOutcome RunMenuCommand(const PluginModule& module, int index, host::Document& doc,
                              const char* dialog, bool echo);

// The message box lines of captured plug-in output ("caption: text"),
// without the dialog prompts of the terminal dialog player.
std::vector<std::string> MessageLines(const std::string& messages);

}  // namespace host
