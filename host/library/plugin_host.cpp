#include "host/library/plugin_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace host {

template <typename Function>
static bool Resolve(const PluginModule& module, const char* name, Function& function,
                    std::string& error)
{
    function = reinterpret_cast<Function>(FindLibraryFunction(module.library, name));
    if (!function)
        error = module.path + ": not a kivera plug-in: it does not export " + name;
    return function != nullptr;
}

bool LoadPluginModule(const std::string& path, PluginModule& module, std::string& error)
{
    std::error_code failure;
    const std::filesystem::path full = std::filesystem::canonical(path, failure);
    if (failure) {
        error = path + ": cannot load the plug-in: " + failure.message();
        return false;
    }
    module = PluginModule();
    module.path = full.string();
    module.library = LoadSharedLibrary(module.path.c_str());
    if (!module.library) {
        error = path + ": cannot load the plug-in: " + SharedLibraryError();
        return false;
    }
    if (!Resolve(module, "MQCheckVersion", module.checkVersion, error) ||
        !Resolve(module, "MQInit", module.init, error) ||
        !Resolve(module, "MQGetPlugInID", module.getPlugInId, error) ||
        !Resolve(module, "MQGetPlugInName", module.getPlugInName, error) ||
        !Resolve(module, "MQGetPlugInType", module.getPlugInType, error) ||
        !Resolve(module, "MQEnumString", module.enumString, error) ||
        !Resolve(module, "MQModifySelect", module.modifySelect, error))
        return false;
    if (module.checkVersion() != kHostInterfaceVersion) {
        error = path + ": the plug-in speaks interface version " +
                std::to_string(module.checkVersion()) + ", this host " +
                std::to_string(kHostInterfaceVersion);
        return false;
    }
    if (module.getPlugInType() != kCommandPlugInType) {
        error = path + ": the plug-in is of type " + std::to_string(module.getPlugInType()) +
                ", not a command plug-in (type 5)";
        return false;
    }
    return true;
}

std::string HostLibraryPath()
{
    char path[4096];
    // Any function of the host library names the library; this one is part
    // of the model interface the program links.
    const int length = SharedLibraryPathOf(reinterpret_cast<const void*>(&host::SetSystemPath),
                                           path, static_cast<int>(sizeof path));
    return length > 0 ? std::string(path) : std::string();
}

bool BindPlugin(const PluginModule& module, std::string& error)
{
    const std::string hostLibrary = HostLibraryPath();
    if (hostLibrary.empty()) {
        error = "cannot find the host library's own path to give to the plug-in";
        return false;
    }
    if (module.init(hostLibrary.c_str()) != 1) {
        error = module.path + ": MQInit failed: the plug-in could not bind the host functions of " +
                hostLibrary;
        return false;
    }
    return true;
}

std::string PluginSettingsFolder(const PluginModule& module)
{
    return std::filesystem::path(module.path).parent_path().parent_path().string();
}

std::vector<std::string> ReadMenu(const PluginModule& module)
{
    std::vector<std::string> menu;
    for (int i = 0;; ++i) {
        const char* text = module.enumString(i);
        if (!text)
            break;
        menu.emplace_back(text);
    }
    return menu;
}

std::string ProgramFolder()
{
    std::error_code failure;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failure);
    return failure ? std::string(".") : program.parent_path().string();
}

namespace {

// Sets KIVERA_DIALOG for one command and puts back what was there.
struct DialogAnswer {
    explicit DialogAnswer(const char* ids)
    {
        const char* previous = std::getenv("KIVERA_DIALOG");
        hadPrevious = previous != nullptr;
        if (previous)
            previousValue = previous;
        if (ids)
            setenv("KIVERA_DIALOG", ids, 1);
    }
    ~DialogAnswer()
    {
        if (hadPrevious)
            setenv("KIVERA_DIALOG", previousValue.c_str(), 1);
        else
            unsetenv("KIVERA_DIALOG");
    }
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;
    bool hadPrevious = false;
    std::string previousValue;
};

}  // namespace

CommandOutcome RunMenuCommand(const PluginModule& module, int index, host::Document& doc,
                              const char* dialog, bool echo)
{
    CommandOutcome outcome;
    DialogAnswer answer(dialog);
    int pipeEnds[2];
    std::fflush(stderr);
    const int savedError = dup(STDERR_FILENO);
    if (savedError < 0 || pipe(pipeEnds) != 0) {
        // Nothing to capture with: run it plain.
        if (savedError >= 0)
            close(savedError);
        outcome.result = module.modifySelect(index, &doc);
        return outcome;
    }
    fcntl(pipeEnds[0], F_SETFD, FD_CLOEXEC);
    fcntl(pipeEnds[1], F_SETFD, FD_CLOEXEC);
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[1]);
    // A reader drains the pipe while the command runs, so that a talkative
    // command never blocks on a full pipe.
    std::thread reader([&outcome, readEnd = pipeEnds[0], savedError, echo] {
        char buffer[4096];
        for (;;) {
            const ssize_t got = read(readEnd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            outcome.messages.append(buffer, static_cast<size_t>(got));
            if (echo && write(savedError, buffer, static_cast<size_t>(got)) < 0) {
                // Nowhere to show it: it stays in the captured text.
            }
        }
    });
    outcome.result = module.modifySelect(index, &doc);
    std::fflush(stderr);
    // Putting the real standard error back closes the pipe's last write end,
    // which ends the reader.
    dup2(savedError, STDERR_FILENO);
    close(savedError);
    reader.join();
    close(pipeEnds[0]);
    return outcome;
}

std::vector<std::string> MessageLines(const std::string& messages)
{
    // The terminal dialog player's prompt ends without a line feed, so the
    // next line of output follows it on the same line.
    static const std::string kPrompt = "ids or names to click (empty line closes as Escape): ";
    std::string text = messages;
    for (size_t at = text.find(kPrompt); at != std::string::npos; at = text.find(kPrompt))
        text.erase(at, kPrompt.size());
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const bool dialogHeading = line.rfind("dialog ", 0) == 0 && line.size() > 7 &&
                                   std::isdigit(static_cast<unsigned char>(line[7]));
        if (line.empty() || line[0] == ' ' || dialogHeading || line.rfind("no control \"", 0) == 0)
            continue;
        lines.push_back(line);
    }
    return lines;
}

}  // namespace host
