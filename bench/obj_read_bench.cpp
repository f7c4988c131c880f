// kivera-obj-read-bench: how long kivera-host takes to read a mesh as OBJ
// against the same mesh as a JSON document. A program that prints figures,
// not a test; measure in a Release build.
//
//   kivera-obj-read-bench [FACES] [MESH.obj ...]
//
// Without files it reads a square grid of about FACES quads (default 10^6)
// written as plain "v x y z" and "f a b c d" lines; each file given is read
// as it is, and as the JSON document converted from it.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>
#include <vector>

#include "host/program/document_file.h"
#include "host/program/file_io.h"

namespace {

std::string GridObj(int side)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(side + 1) * (side + 1) * 24 +
                 static_cast<std::size_t>(side) * side * 32);
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x)
            text += "v " + std::to_string(x * 0.5) + " " + std::to_string(y * 0.25) + " " +
                    std::to_string((x * 7 + y * 3) % 11 * 0.125) + "\n";
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int a = y * (side + 1) + x + 1;
            text += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " +
                    std::to_string(a + side + 2) + " " + std::to_string(a + side + 1) + "\n";
        }
    return text;
}

// The fastest of three loads, in seconds.
double LoadSeconds(const std::string& path)
{
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        host::Document doc;
        host::DocumentInfo info;
        std::string notes, error;
        const auto start = std::chrono::steady_clock::now();
        if (!host::LoadDocument(path, doc, info, notes, error)) {
            std::fprintf(stderr, "kivera-obj-read-bench: %s\n", error.c_str());
            std::exit(1);
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void Measure(const std::string& label, const std::string& obj, const std::string& json)
{
    host::Document doc;
    host::DocumentInfo info;
    std::string notes, error;
    if (!host::LoadDocument(obj, doc, info, notes, error) ||
        !host::SaveDocument(json, doc, host::DocumentInfo{}, error)) {
        std::fprintf(stderr, "kivera-obj-read-bench: %s\n", error.c_str());
        std::exit(1);
    }
    std::size_t faces = 0;
    for (const auto& object : doc.objects)
        faces += object ? object->faces.size() : 0;
    std::string bytes, why;
    host::ReadWholeFile(obj, bytes, why);
    const double objSeconds = LoadSeconds(obj), jsonSeconds = LoadSeconds(json);
    std::printf("%-28s %9zu faces %7.1f MB  OBJ %7.3f s  JSON %7.3f s  OBJ/JSON %5.2f\n",
                label.c_str(), faces, bytes.size() / 1e6, objSeconds, jsonSeconds,
                objSeconds / jsonSeconds);
}

}  // namespace

int main(int argc, char** argv)
{
    std::printf("kivera-obj-read-bench (%s build): reading OBJ against the same mesh as JSON, "
                "fastest of 3\n", KIVERA_BENCH_BUILD_TYPE);
    int faces = 1000000;
    int first = 1;
    if (argc > 1 && std::string(argv[1]).find_first_not_of("0123456789") == std::string::npos) {
        faces = std::atoi(argv[1]);
        first = 2;
    }
    const std::string folder = "/tmp/kivera-obj-read-bench-" + std::to_string(::getpid());
    std::string why;
    std::filesystem::create_directories(folder);
    if (first == argc || first == 2) {
        const int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(faces))));
        const std::string obj = folder + "/grid.obj";
        if (!host::WriteFileAtomically(obj, GridObj(side), why)) {
            std::fprintf(stderr, "kivera-obj-read-bench: %s: %s\n", obj.c_str(), why.c_str());
            return 1;
        }
        Measure("grid " + std::to_string(side) + " x " + std::to_string(side), obj, folder + "/grid.json");
    }
    for (int i = first; i < argc; ++i)
        Measure(host::FileNameOf(argv[i]), argv[i], folder + "/mesh.json");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
