#include "host/program/progress.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace host {

namespace {

struct ProgressState {
    int terminal = -1;   // a duplicate of standard error, or -1
    std::thread ticker;
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    bool shown = false;
};

ProgressState& State()
{
    static ProgressState state;
    return state;
}

void Show(int terminal, const std::string& text)
{
    if (write(terminal, text.data(), text.size()) < 0) {
        // A terminal that cannot be written to shows nothing.
    }
}

}  // namespace

void InitProgress()
{
    ProgressState& state = State();
    if (state.terminal < 0 && isatty(STDERR_FILENO))
        state.terminal = dup(STDERR_FILENO);
}

void StartProgress(const std::string& what)
{
    ProgressState& state = State();
    if (state.terminal < 0 || state.ticker.joinable())
        return;
    state.stop = false;
    state.shown = false;
    state.ticker = std::thread([&state, what] {
        using Clock = std::chrono::steady_clock;
        const Clock::time_point start = Clock::now();
        std::unique_lock<std::mutex> lock(state.mutex);
        if (state.wake.wait_for(lock, std::chrono::milliseconds(500), [&state] { return state.stop; }))
            return;
        do {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            char line[64];
            std::snprintf(line, sizeof line, " ... %.1f s", seconds);
            Show(state.terminal, "\rkivera-host: " + what + line);
            state.shown = true;
        } while (!state.wake.wait_for(lock, std::chrono::milliseconds(200),
                                      [&state] { return state.stop; }));
    });
}

void StopProgress()
{
    ProgressState& state = State();
    if (!state.ticker.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.stop = true;
    }
    state.wake.notify_all();
    state.ticker.join();
    if (state.shown)
        Show(state.terminal, "\r\033[K");
}

}  // namespace host
