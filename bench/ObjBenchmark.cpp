#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

// bench_obj: OBJ loading through the loader factory against tinyobjloader on
// generated height-field grids (v/vt/vn with two materials, and positions
// only) of 0.5M, 1M and 2M triangles, written into a temporary folder.

namespace {

struct Input {
    std::string variant;  // "vtn" or "v"
    int triangles;
    std::string path;
    double fileBytes = 0;
    double recordBytes = 0;
    double peakBytes = 0;
};

std::vector<Input> inputs;

// Writes a grid of quads split into two triangles each; with `full`, every
// grid point has its own v, vt and vn line and rows alternate between two
// materials.
void writeGrid(const std::string& path, int triangles, bool full)
{
    const int side = static_cast<int>(std::lround(std::sqrt(triangles / 2.0)));
    const int points = side + 1;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::vector<char> buffer(1 << 20);
    std::setvbuf(out, buffer.data(), _IOFBF, buffer.size());
    if (full)
        std::fputs("mtllib grid.mtl\n", out);
    for (int j = 0; j < points; ++j) {
        for (int i = 0; i < points; ++i) {
            const double x = double(i) / side, y = double(j) / side;
            const double z = 0.1 * std::sin(7 * x) * std::cos(5 * y);
            std::fprintf(out, "v %.6f %.6f %.6f\n", x, y, z);
            if (!full)
                continue;
            std::fprintf(out, "vt %.6f %.6f\n", x, y);
            const double nx = -0.7 * std::cos(7 * x) * std::cos(5 * y), ny = 0.5 * std::sin(7 * x) * std::sin(5 * y);
            const double length = std::sqrt(nx * nx + ny * ny + 1);
            std::fprintf(out, "vn %.6f %.6f %.6f\n", nx / length, ny / length, 1 / length);
        }
    }
    for (int j = 0; j < side; ++j) {
        if (full)
            std::fputs(j % 2 == 0 ? "usemtl stone\n" : "usemtl grass\n", out);
        for (int i = 0; i < side; ++i) {
            const int a = j * points + i + 1, b = a + 1, c = a + points + 1, d = a + points;
            if (full) {
                std::fprintf(out, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c);
                std::fprintf(out, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c, d, d, d);
            } else {
                std::fprintf(out, "f %d %d %d\nf %d %d %d\n", a, b, c, a, c, d);
            }
        }
    }
    std::fclose(out);
}

void loadWithVesk(benchmark::State& state, const Input* input)
{
    for (auto _ : state) {
        auto* mesh = static_cast<VESK::CMeshData*>(VESK::CFactoryLoader::loadFromFile(input->path));
        if (mesh == nullptr) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(mesh->indices);
        delete mesh;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input->fileBytes));
}

void loadWithTinyObj(benchmark::State& state, const Input* input)
{
    const std::string folder = std::filesystem::path(input->path).parent_path().string() + "/";
    for (auto _ : state) {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, input->path.c_str(), folder.c_str())) {
            state.SkipWithError("tinyobjloader failed");
            return;
        }
        benchmark::DoNotOptimize(shapes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input->fileBytes));
}

double statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0)
            return std::atof(line.c_str() + std::strlen(field));
    }
    return 0;
}

// Loads the input once in a forked child whose peak-RSS mark was reset just
// before, and returns the growth of that peak, with the size of the record.
void measurePeak(Input& input)
{
    int channel[2];
    if (pipe(channel) != 0)
        return;
    const pid_t child = fork();
    if (child == 0) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const double before = statusKilobytes("VmRSS:");
        auto* mesh = static_cast<VESK::CMeshData*>(VESK::CFactoryLoader::loadFromFile(input.path));
        double figures[2] = {(statusKilobytes("VmHWM:") - before) * 1024.0, 0.0};
        if (mesh != nullptr)
            figures[1] = double(mesh->vertexCount) * mesh->vertexStride + double(mesh->indexCount) * 4;
        if (write(channel[1], figures, sizeof(figures)) != sizeof(figures))
            _exit(1);
        _exit(0);
    }
    close(channel[1]);
    double figures[2] = {0, 0};
    if (read(channel[0], figures, sizeof(figures)) == sizeof(figures)) {
        input.peakBytes = figures[0];
        input.recordBytes = figures[1];
    }
    close(channel[0]);
    waitpid(child, nullptr, 0);
}

// Keeps the fastest repetition's real time of every benchmark, in seconds,
// for the closing table: the machine may be shared, and the fastest
// repetition is the one least disturbed by others.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
                seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1000.0;
        }
    }
    std::map<std::string, double> seconds;
};

std::string nameOf(const char* loader, const Input& input)
{
    return std::string(loader) + "/" + input.variant + "/" + std::to_string(input.triangles);
}

}  // namespace

int main(int argc, char** argv)
{
    // Repetitions of the two loaders take turns in random order, so that
    // whatever else runs on the machine weighs on both alike.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    std::string folder = (std::filesystem::temp_directory_path() / "vesk-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr)
        return 1;
    DEBUGGING::globalLog = DEBUGGING::CLogManager::getInstance().getLog("/dev/stderr");
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());

    std::ofstream(folder + "/grid.mtl") << "newmtl stone\nKd 0.5 0.5 0.5\nnewmtl grass\nKd 0.2 0.8 0.2\n";
    for (const char* variant : {"vtn", "v"}) {
        for (const int triangles : {500000, 1000000, 2000000}) {
            Input input{variant, triangles, folder + "/" + variant + std::to_string(triangles) + ".obj"};
            writeGrid(input.path, triangles, input.variant == "vtn");
            input.fileBytes = double(std::filesystem::file_size(input.path));
            inputs.push_back(input);
        }
    }
    for (Input& input : inputs) {
        measurePeak(input);
        for (const auto& [name, function] : {std::make_pair("vesk", loadWithVesk),
                                              std::make_pair("tinyobj", loadWithTinyObj)}) {
            benchmark::RegisterBenchmark(nameOf(name, input).c_str(), function, &input)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(2)
                ->Repetitions(5)
                ->ComputeStatistics("min", [](const std::vector<double>& times) {
                    return *std::min_element(times.begin(), times.end());
                })
                ->ReportAggregatesOnly(true);
        }
    }
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    constexpr double mebibyte = 1024.0 * 1024.0;
    std::printf("\n%-8s %10s %9s %9s %9s %10s %7s %9s %9s %9s %6s\n", "variant", "triangles", "file MiB", "vesk s",
                "MiB/s", "tinyobj s", "ratio", "peak MiB", "rec MiB", "limit MiB", "");
    for (const Input& input : inputs) {
        const double vesk = reporter.seconds[nameOf("vesk", input)];
        const double tiny = reporter.seconds[nameOf("tinyobj", input)];
        const double limit = input.fileBytes + 3 * input.recordBytes;
        std::printf("%-8s %10d %9.1f %9.3f %9.1f %10.3f %7.2f %9.1f %9.1f %9.1f %6s\n", input.variant.c_str(),
                    input.triangles, input.fileBytes / mebibyte, vesk, input.fileBytes / mebibyte / vesk, tiny,
                    vesk / tiny, input.peakBytes / mebibyte, input.recordBytes / mebibyte, limit / mebibyte,
                    input.peakBytes <= limit ? "ok" : "OVER");
    }
    std::filesystem::remove_all(folder);
    VESK::CFactoryLoader::getInstance().clear();
    DEBUGGING::CLogManager::getInstance().shutdown();
    DEBUGGING::globalLog = nullptr;
    return 0;
}
