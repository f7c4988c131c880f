// kivera-bench: times each command through MQModifySelect on the real
// kivera.so bound to the stand-in host, on grids of 10^3 to 10^6 faces, and
// compares it with the floor: one pass that reads every face's point count
// and points and every vertex through the host functions.
//
// Each measurement runs in a child process of its own, so that its peak
// memory is its own and a run that passes the time limit can be stopped
// (SIGALRM) and reported as skipped instead of running for hours.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_documents.h"
#include "frame/menu_strings.h"
#include "host/library/document.h"
#include "platform/shared_library.h"

// The host functions the floor pass reads through, exported by the stand-in
// host library this program links.
extern "C" {
int MQDoc_GetObjectCount(void* doc);
void* MQDoc_GetObject(void* doc, int objectIndex);
int MQObj_GetFaceCount(void* obj);
int MQObj_GetFacePointCount(void* obj, int faceIndex);
void MQObj_GetFacePointArray(void* obj, int faceIndex, int* points);
int MQObj_GetVertexCount(void* obj);
void MQObj_GetVertex(void* obj, int vertexIndex, host::Vec3* position);
int MQObj_AddVertex(void* obj, const host::Vec3* position);
int MQObj_AddFace(void* obj, int pointCount, const int* points);
int MQObj_DeleteFace(void* obj, int faceIndex, int deleteVertex);
}

namespace {

struct Options {
    std::vector<int> sizes = {1000, 10000, 100000, 1000000};
    std::vector<int> scenarios;   // indices into kScenarios; empty = all
    int limitSeconds = 60;
    int repeat = 1;
    std::string plugin = KIVERA_BENCH_PLUGIN;
};

struct Plugin {
    int (*init)(const char*);
    int (*modifySelect)(int, void*);
};

// What a child reports through its pipe.
struct Measurement {
    int built;            // 0 when the document could not be made
    int result;           // the command's return value
    double seconds;       // the command
    double floorSeconds;  // the floor pass, best of three
    long rssBeforeKb;     // resident size before the command
    long peakKb;          // peak resident size during the command (-1 unknown)
    long processPeakKb;   // peak resident size from the start to the command's end
    int changed;          // 1 when the document differs afterwards
    long long edits;      // vertices and faces the command added or deleted
    double editSeconds;   // the host alone making as many edits again
};

void PrintUsage(std::FILE* out)
{
    std::fprintf(out,
        "usage: kivera-bench [--sizes=N,N,...] [--commands=NAME,...] [--limit=SECONDS]\n"
        "                    [--repeat=N] [--plugin=PATH] [--list]\n"
        "  --sizes     face counts of the main mesh (default 1000,10000,100000,1000000)\n"
        "  --commands  short names or command table rows (default: all nineteen)\n"
        "  --limit     seconds one command may run before it is reported as skipped\n"
        "              (default 60)\n"
        "  --repeat    runs of each command, each on a fresh document; the fastest\n"
        "              run and the fastest floor are reported (default 1)\n"
        "  --plugin    the kivera.so to measure (default: the one of this build)\n"
        "  --list      print the commands and what each document holds\n");
}

bool ParseList(const char* text, std::vector<std::string>& items)
{
    std::string item;
    for (const char* c = text;; ++c) {
        if (*c == ',' || *c == '\0') {
            if (item.empty())
                return false;
            items.push_back(item);
            item.clear();
            if (*c == '\0')
                return true;
        } else {
            item += *c;
        }
    }
}

// 0 on success, 1 on a bad option, 2 when the usage or list was printed.
int ParseOptions(int argc, char** argv, Options& options)
{
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        const auto value = [&](const char* name) -> const char* {
            const std::size_t length = std::strlen(name);
            return arg.compare(0, length, name) == 0 ? argv[k] + length : nullptr;
        };
        std::vector<std::string> items;
        if (const char* sizes = value("--sizes=")) {
            if (!ParseList(sizes, items))
                return 1;
            options.sizes.clear();
            for (const std::string& item : items) {
                char* end = nullptr;
                const double size = std::strtod(item.c_str(), &end);   // 1e6 is fine
                if (*end != '\0' || !(size >= 1.0 && size <= 5e7))
                    return 1;
                options.sizes.push_back(static_cast<int>(size));
            }
        } else if (const char* names = value("--commands=")) {
            if (!ParseList(names, items))
                return 1;
            for (const std::string& item : items) {
                const int scenario = bench::FindScenario(item);
                if (scenario < 0) {
                    std::fprintf(stderr, "kivera-bench: no command %s\n", item.c_str());
                    return 1;
                }
                options.scenarios.push_back(scenario);
            }
        } else if (const char* limit = value("--limit=")) {
            options.limitSeconds = std::atoi(limit);
            if (options.limitSeconds <= 0)
                return 1;
        } else if (const char* repeat = value("--repeat=")) {
            options.repeat = std::atoi(repeat);
            if (options.repeat <= 0)
                return 1;
        } else if (const char* plugin = value("--plugin=")) {
            options.plugin = plugin;
        } else if (arg == "--list") {
            for (const bench::Scenario& s : bench::kScenarios)
                std::printf("%2d %-22s %s\n", bench::ScenarioRow(s), bench::ScenarioName(s),
                            s.setup);
            return 2;
        } else if (arg == "--help") {
            PrintUsage(stdout);
            return 2;
        } else {
            return 1;
        }
    }
    if (options.scenarios.empty())
        for (int k = 0; k < bench::kScenarioCount; ++k)
            options.scenarios.push_back(k);
    return 0;
}

bool LoadPlugin(const std::string& path, Plugin& plugin)
{
    const LibraryHandle library = LoadSharedLibrary(path.c_str());
    if (!library) {
        std::fprintf(stderr, "kivera-bench: cannot load %s: %s\n", path.c_str(),
                     SharedLibraryError());
        return false;
    }
    plugin.init = reinterpret_cast<int (*)(const char*)>(FindLibraryFunction(library, "MQInit"));
    plugin.modifySelect =
        reinterpret_cast<int (*)(int, void*)>(FindLibraryFunction(library, "MQModifySelect"));
    if (!plugin.init || !plugin.modifySelect) {
        std::fprintf(stderr, "kivera-bench: %s lacks MQInit or MQModifySelect\n", path.c_str());
        return false;
    }
    char hostPath[4096];
    if (!SharedLibraryPathOf(reinterpret_cast<const void*>(&MQDoc_GetObjectCount), hostPath,
                             sizeof hostPath)) {
        std::fprintf(stderr, "kivera-bench: cannot find the host library's path\n");
        return false;
    }
    if (plugin.init(hostPath) != 1) {
        std::fprintf(stderr, "kivera-bench: MQInit(%s) failed\n", hostPath);
        return false;
    }
    return true;
}

// A fresh folder holding a kivera.ini that enables every command, so that
// menu index n is command table row n.
bool MakeSettingsFolder(std::string& folder)
{
    char name[] = "/tmp/kivera-bench-XXXXXX";
    if (!mkdtemp(name))
        return false;
    folder = name;
    std::FILE* file = std::fopen((folder + "/kivera.ini").c_str(), "wb");
    if (!file)
        return false;
    for (const char* key : kMenuStrings)
        std::fprintf(file, "%s = 1\r\n", key);
    return std::fclose(file) == 0;
}

void RemoveSettingsFolder(const std::string& folder)
{
    std::remove((folder + "/kivera.ini").c_str());
    std::remove((folder + "/kivera.idx").c_str());
    rmdir(folder.c_str());
}

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One pass over every object: face count, each face's point count and
// points, vertex count and each vertex, all through the host functions.
double FloorPass(host::Document& doc)
{
    const double start = Now();
    long long sum = 0;
    const int objectCount = MQDoc_GetObjectCount(&doc);
    for (int j = 0; j < objectCount; ++j) {
        void* obj = MQDoc_GetObject(&doc, j);
        if (!obj)
            continue;
        const int faceCount = MQObj_GetFaceCount(obj);
        for (int f = 0; f < faceCount; ++f) {
            int points[64];
            const int n = MQObj_GetFacePointCount(obj, f);
            if (n <= 0 || n > 64)
                continue;
            MQObj_GetFacePointArray(obj, f, points);
            for (int k = 0; k < n; ++k)
                sum += points[k];
        }
        const int vertexCount = MQObj_GetVertexCount(obj);
        for (int v = 0; v < vertexCount; ++v) {
            host::Vec3 p;
            MQObj_GetVertex(obj, v, &p);
            sum += static_cast<long long>(p.x);
        }
    }
    const double seconds = Now() - start;
    // The sum is printed nowhere; reading it keeps the pass from being dropped.
    asm volatile("" : : "r"(sum));
    return seconds;
}

// With KIVERA_BENCH_PERF_CTL and KIVERA_BENCH_PERF_ACK naming the control
// and acknowledgement fifos of `perf record --control=fifo:CTL,ACK -D -1`,
// the profiler samples only the command itself, not the building of the
// document. `command` is "enable" or "disable".
void ProfilerControl(const char* command)
{
    const char* control = std::getenv("KIVERA_BENCH_PERF_CTL");
    const char* ack = std::getenv("KIVERA_BENCH_PERF_ACK");
    if (!control || !ack)
        return;
    const int out = open(control, O_WRONLY);
    const int in = open(ack, O_RDONLY);
    if (out >= 0 && in >= 0) {
        const std::string line = std::string(command) + "\n";
        if (write(out, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
            char reply[16];
            if (read(in, reply, sizeof reply) < 0)
                std::perror("kivera-bench: profiler acknowledgement");
        }
    }
    if (out >= 0)
        close(out);
    if (in >= 0)
        close(in);
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"), -1 when unknown.
long StatusKb(const char* field)
{
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (!file)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, file))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            value = std::atol(line + length + 1);
            break;
        }
    std::fclose(file);
    return value;
}

// Sets the peak resident size back to the present one, so that the peak read
// after the command is the command's own. False where the kernel cannot.
bool ResetPeakMemory()
{
    const int fd = open("/proc/self/clear_refs", O_WRONLY);
    if (fd < 0)
        return false;
    const bool done = write(fd, "5", 1) == 1;
    close(fd);
    return done;
}

// What an object holds, to tell afterwards what a command added and deleted.
struct ObjectCounts {
    std::size_t vertices = 0, faces = 0, emptyFaces = 0;
};

std::vector<ObjectCounts> CountObjects(const host::Document& doc)
{
    std::vector<ObjectCounts> counts(doc.objects.size());
    for (std::size_t j = 0; j < doc.objects.size(); ++j) {
        const host::Object* obj = doc.objects[j].get();
        if (!obj)
            continue;
        counts[j].vertices = obj->vertices.size();
        counts[j].faces = obj->faces.size();
        for (const host::Face& face : obj->faces)
            counts[j].emptyFaces += face.points.empty() ? 1 : 0;
    }
    return counts;
}

// The time the host alone takes to make the command's edits again: one
// MQObj_AddVertex per vertex it added, one MQObj_AddFace per face it added
// (with the same points) and one MQObj_DeleteFace per face it emptied, on
// the same objects. Part of any command's time that the plug-in cannot
// save; the floor counts only reads. Returns the edit count in `edits`.
double ReplayEdits(host::Document& doc, const std::vector<ObjectCounts>& before,
                   long long& edits)
{
    const std::vector<ObjectCounts> after = CountObjects(doc);
    edits = 0;
    double seconds = 0.0;
    for (std::size_t j = 0; j < before.size() && j < after.size(); ++j) {
        host::Object* obj = doc.objects[j].get();
        if (!obj || after[j].vertices < before[j].vertices || after[j].faces < before[j].faces)
            continue;
        std::vector<host::Vec3> vertices(obj->vertices.begin() + before[j].vertices,
                                         obj->vertices.end());
        std::vector<std::vector<int>> faces;
        for (std::size_t f = before[j].faces; f < after[j].faces; ++f)
            if (!obj->faces[f].points.empty())
                faces.emplace_back(obj->faces[f].points.begin(), obj->faces[f].points.end());
        const std::size_t deletions = after[j].emptyFaces > before[j].emptyFaces
                                          ? after[j].emptyFaces - before[j].emptyFaces
                                          : 0;
        edits += static_cast<long long>(vertices.size() + faces.size() + deletions);
        const int firstReplayed = static_cast<int>(obj->faces.size());
        const double start = Now();
        for (const host::Vec3& v : vertices)
            MQObj_AddVertex(obj, &v);
        for (const std::vector<int>& points : faces)
            MQObj_AddFace(obj, static_cast<int>(points.size()), points.data());
        // Delete among the replayed faces first, then from the front.
        std::size_t deleted = 0;
        for (std::size_t k = 0; k < faces.size() && deleted < deletions; ++k, ++deleted)
            MQObj_DeleteFace(obj, firstReplayed + static_cast<int>(k), 0);
        for (int f = 0; deleted < deletions && f < firstReplayed; ++f)
            if (!obj->faces[f].points.empty() && MQObj_DeleteFace(obj, f, 0))
                ++deleted;
        seconds += Now() - start;
    }
    return seconds;
}

// The child's side: build, measure the floor, run the command once.
[[noreturn]] void RunChild(const Plugin& plugin, int scenario, int faceCount,
                           const std::string& folder, int limitSeconds, int output)
{
    Measurement m = {};
    m.peakKb = -1;
    host::Document doc;
    m.built = bench::BuildScenarioDocument(scenario, faceCount, folder, doc) ? 1 : 0;
    if (m.built) {
        m.floorSeconds = FloorPass(doc);
        for (int k = 0; k < 2; ++k)
            m.floorSeconds = std::min(m.floorSeconds, FloorPass(doc));
        const bench::Scenario& s = bench::kScenarios[scenario];
        if (s.dialog[0])
            setenv("KIVERA_DIALOG", s.dialog, 1);
        else
            unsetenv("KIVERA_DIALOG");
        // Message boxes (the face angle) would print on standard error.
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, 2);
        const unsigned long long before = bench::DocumentDigest(doc);
        const std::vector<ObjectCounts> counts = CountObjects(doc);
        m.rssBeforeKb = StatusKb("VmRSS");
        const long buildPeakKb = StatusKb("VmHWM");
        const bool peakReset = ResetPeakMemory();
        alarm(static_cast<unsigned>(limitSeconds));
        ProfilerControl("enable");
        const double start = Now();
        m.result = plugin.modifySelect(bench::ScenarioRow(s), &doc);
        m.seconds = Now() - start;
        ProfilerControl("disable");
        alarm(0);
        m.peakKb = peakReset ? StatusKb("VmHWM") : -1;
        m.processPeakKb = std::max(buildPeakKb, m.peakKb);
        m.changed = bench::DocumentDigest(doc) != before ? 1 : 0;
        m.editSeconds = ReplayEdits(doc, counts, m.edits);
    }
    const ssize_t written = write(output, &m, sizeof m);
    _exit(written == static_cast<ssize_t>(sizeof m) ? 0 : 1);
}

enum class Outcome { kDone, kSkipped, kFailed };

Outcome Measure(const Plugin& plugin, int scenario, int faceCount, const std::string& folder,
                int limitSeconds, Measurement& m, long& childPeakKb)
{
    int channel[2];
    if (pipe(channel) != 0)
        return Outcome::kFailed;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return Outcome::kFailed;
    }
    if (child == 0) {
        close(channel[0]);
        RunChild(plugin, scenario, faceCount, folder, limitSeconds, channel[1]);
    }
    close(channel[1]);
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof m)) {
        const ssize_t n = read(channel[0], reinterpret_cast<char*>(&m) + got, sizeof m - got);
        if (n <= 0)
            break;
        got += n;
    }
    close(channel[0]);
    int status = 0;
    struct rusage usage = {};
    while (wait4(child, &status, 0, &usage) < 0)
        ;
    childPeakKb = usage.ru_maxrss;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
        return Outcome::kSkipped;
    if (got != static_cast<ssize_t>(sizeof m) || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !m.built)
        return Outcome::kFailed;
    return Outcome::kDone;
}

std::string Megabytes(long kb)
{
    if (kb < 0)
        return "?";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", kb / 1024.0);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    const int parsed = ParseOptions(argc, argv, options);
    if (parsed == 2)
        return 0;
    if (parsed != 0) {
        PrintUsage(stderr);
        return 2;
    }
    Plugin plugin;
    if (!LoadPlugin(options.plugin, plugin))
        return 1;
    std::string folder;
    if (!MakeSettingsFolder(folder)) {
        std::fprintf(stderr, "kivera-bench: cannot write a settings folder in /tmp\n");
        return 1;
    }
    host::SetSystemPath(folder);

    std::printf("plug-in: %s\nbuild: %s; time limit per command: %d s; best of %d run(s)\n\n",
                options.plugin.c_str(), KIVERA_BENCH_BUILD_TYPE, options.limitSeconds,
                options.repeat);
    std::printf("| command | faces | seconds | floor (s) | ratio | result | changed | host edits "
                "| edits (s) | peak MB | command MB |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---|---:|---:|---:|---:|\n");
    int failures = 0;
    for (const int faceCount : options.sizes)
        for (const int scenario : options.scenarios) {
            // The fastest of the runs, the fastest floor and the largest peaks.
            Measurement m = {};
            long childPeakKb = -1, commandKb = -1;
            Outcome outcome = Outcome::kDone;
            for (int run = 0; run < options.repeat && outcome == Outcome::kDone; ++run) {
                Measurement one = {};
                long onePeakKb = -1;
                outcome = Measure(plugin, scenario, faceCount, folder, options.limitSeconds, one,
                                  onePeakKb);
                if (outcome != Outcome::kDone) {
                    childPeakKb = std::max(childPeakKb, onePeakKb);
                    break;
                }
                // The peak up to the command's end, not the replayed edits after it.
                childPeakKb = std::max(childPeakKb, one.processPeakKb >= 0 ? one.processPeakKb
                                                                           : onePeakKb);
                if (one.peakKb >= 0)
                    commandKb = std::max(commandKb, std::max(0L, one.peakKb - one.rssBeforeKb));
                if (run == 0) {
                    m = one;
                    continue;
                }
                m.floorSeconds = std::min(m.floorSeconds, one.floorSeconds);
                m.editSeconds = std::min(m.editSeconds, one.editSeconds);
                if (one.seconds < m.seconds) {
                    m.seconds = one.seconds;
                    m.result = one.result;
                }
            }
            const char* name = bench::ScenarioName(bench::kScenarios[scenario]);
            if (outcome == Outcome::kSkipped) {
                std::printf("| %s | %d | > %d (skipped) | | | | | | | %s | |\n", name, faceCount,
                            options.limitSeconds, Megabytes(childPeakKb).c_str());
            } else if (outcome == Outcome::kFailed) {
                ++failures;
                std::printf("| %s | %d | failed | | | | | | | | |\n", name, faceCount);
            } else {
                char editSeconds[32] = "-";
                if (m.edits > 0)
                    std::snprintf(editSeconds, sizeof editSeconds, "%.6f", m.editSeconds);
                std::printf("| %s | %d | %.6f | %.6f | %.1f | %d | %s | %lld | %s | %s | %s |\n",
                            name, faceCount, m.seconds, m.floorSeconds,
                            m.floorSeconds > 0.0 ? m.seconds / m.floorSeconds : 0.0, m.result,
                            m.changed ? "yes" : "no", m.edits, editSeconds,
                            Megabytes(childPeakKb).c_str(), Megabytes(commandKb).c_str());
            }
            std::fflush(stdout);
        }
    RemoveSettingsFolder(folder);
    return failures == 0 ? 0 : 1;
}
