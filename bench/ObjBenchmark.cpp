// bench_obj: how long an OBJ file takes to load through our loader, side by
// side with tinyobjloader and assimp (triangulating and joining identical
// vertices, the peer whose result is a record like ours), and with our loader
// resolving corners to vertices plainly instead of through its prefetching
// pipeline ("plain", CCornerResolver.h), on generated files of the shapes
// real meshes have:
//   grid       a height-field grid, v/vt/vn, every line in order, one material;
//   groups     the same grid cut into 1000 `usemtl` groups over 100 materials;
//   torus      a torus whose v, vt, vn and f lines are each written in
//              shuffled order, as scanned and modelled meshes are;
//   positions  the grid with positions only.
// Sizes: 1.5M triangles, or the list in VESK_BENCH_TRIANGLES (for instance
// "500000,4000000" to check that time grows linearly with the file).
//
// Every measured load runs in a fresh process: a process that loaded before
// reuses the pages it freed, which flatters every loader. One measurement,
// one Google Benchmark iteration, is:
//   - a child process of bench_obj itself (`--load LOADER FILE START`), which
//     loads the file once ("first") and then once more ("repeat"), each load
//     timed around the load call alone;
//   - for our loader, in addition, `vesk-inspect mesh FILE --summary` as a
//     whole process, from fork until reaped ("process"). For the others,
//     "process" is the helper child from fork until its first load returned
//     (their teardown is left out, which favours them).
// Times are wall-clock seconds and, beside them, CPU seconds (user and
// system, getrusage): on a shared machine the CPU time is the steadier one.
// Faults are minor page faults (ru_minflt): of the whole process up to the
// end of its first load, of the first load, and of the repeat. Peak is the
// process's peak resident set (ru_maxrss) at that point.
// The measurements of all inputs and loaders take turns in random order, and
// every figure is the median over VESK_BENCH_ROUNDS rounds (5 by default): the
// machine may be shared, and the median shrugs off a disturbed round.

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

namespace {

const char* const loaderNames[] = {"ours", "plain", "tinyobj", "assimp"};

struct Input {
    std::string shape;
    int triangles;
    std::string path;
};

std::vector<Input> inputs;
std::string selfPath;

// ---------------------------------------------------------------- inputs

// Buffered writing of generated lines; the generator runs once per input and
// its speed only matters for the length of the run.
class LineWriter {
public:
    explicit LineWriter(const std::string& path) : file(std::fopen(path.c_str(), "wb")), buffer(1 << 20)
    {
        std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    }
    ~LineWriter() { std::fclose(file); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    template <typename... Args>
    void line(const char* format, Args... args)
    {
        std::fprintf(file, format, args...);
    }

private:
    std::FILE* file;
    std::vector<char> buffer;
};

// A height field over the unit square: side x side quads of two triangles,
// one v (and vt and vn unless positionsOnly) line per grid point in order.
// groupCount > 0 cuts the faces into that many `usemtl` runs over
// materialCount materials of materials.mtl.
void writeGrid(const std::string& path, int triangles, bool positionsOnly, int groupCount)
{
    const int side = static_cast<int>(std::lround(std::sqrt(triangles / 2.0)));
    const int points = side + 1;
    LineWriter out(path);
    if (!positionsOnly)
        out.line("mtllib materials.mtl\n");
    for (int j = 0; j < points; ++j) {
        for (int i = 0; i < points; ++i) {
            const double x = double(i) / side, y = double(j) / side;
            out.line("v %.6f %.6f %.6f\n", x, y, 0.1 * std::sin(7 * x) * std::cos(5 * y));
            if (positionsOnly)
                continue;
            out.line("vt %.6f %.6f\n", x, y);
            const double nx = -0.7 * std::cos(7 * x) * std::cos(5 * y), ny = 0.5 * std::sin(7 * x) * std::sin(5 * y);
            const double length = std::sqrt(nx * nx + ny * ny + 1);
            out.line("vn %.6f %.6f %.6f\n", nx / length, ny / length, 1 / length);
        }
    }
    const long quadCount = long(side) * side;
    const long quadsPerGroup = groupCount > 0 ? (quadCount + groupCount - 1) / groupCount : quadCount;
    if (!positionsOnly && groupCount == 0)
        out.line("usemtl m0\n");
    for (long q = 0; q < quadCount; ++q) {
        if (groupCount > 0 && q % quadsPerGroup == 0)
            out.line("usemtl m%ld\n", (q / quadsPerGroup) % 100);
        const long a = (q / side) * points + q % side + 1, b = a + 1, c = a + points + 1, d = a + points;
        if (positionsOnly) {
            out.line("f %ld %ld %ld\nf %ld %ld %ld\n", a, b, c, a, c, d);
        } else {
            out.line("f %ld/%ld/%ld %ld/%ld/%ld %ld/%ld/%ld\n", a, a, a, b, b, b, c, c, c);
            out.line("f %ld/%ld/%ld %ld/%ld/%ld %ld/%ld/%ld\n", a, a, a, c, c, c, d, d, d);
        }
    }
}

// The order in which count items are written, and for each item the 1-based
// number of the line it ends up on.
struct Shuffle {
    std::vector<int> order, lineOf;
    Shuffle(int count, std::mt19937& random) : order(count), lineOf(count)
    {
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        for (int line = 0; line < count; ++line)
            lineOf[order[line]] = line + 1;
    }
};

// A torus of (2n + 1) x (n + 1) grid points (the seams carry their own
// points, so that texture coordinates do not wrap), with positions, texture
// coordinates, normals and triangles each written in an order of their own.
void writeTorus(const std::string& path, int triangles)
{
    const int minor = static_cast<int>(std::lround(std::sqrt(triangles / 4.0))), major = 2 * minor;
    const int ring = minor + 1, pointCount = (major + 1) * ring;
    std::mt19937 random(11);
    const Shuffle v(pointCount, random), vt(pointCount, random), vn(pointCount, random);
    const double pi = std::acos(-1.0);
    const auto angles = [&](int point) {
        return std::make_pair(2 * pi * (point / ring) / major, 2 * pi * (point % ring) / minor);
    };
    LineWriter out(path);
    out.line("mtllib materials.mtl\n");
    for (const int point : v.order) {
        const auto [u, w] = angles(point);
        const double r = 1 + 0.3 * std::cos(w);
        out.line("v %.6f %.6f %.6f\n", r * std::cos(u), r * std::sin(u), 0.3 * std::sin(w));
    }
    for (const int point : vt.order)
        out.line("vt %.6f %.6f\n", double(point / ring) / major, double(point % ring) / minor);
    for (const int point : vn.order) {
        const auto [u, w] = angles(point);
        out.line("vn %.6f %.6f %.6f\n", std::cos(w) * std::cos(u), std::cos(w) * std::sin(u), std::sin(w));
    }
    out.line("usemtl m0\n");
    const Shuffle faces(2 * major * minor, random);
    for (const int face : faces.order) {
        const int quad = face / 2, a = (quad / minor) * ring + quad % minor, b = a + ring, c = b + 1, d = a + 1;
        const int corners[2][3] = {{a, b, c}, {a, c, d}};
        const int* t = corners[face % 2];
        out.line("f %d/%d/%d %d/%d/%d %d/%d/%d\n", v.lineOf[t[0]], vt.lineOf[t[0]], vn.lineOf[t[0]],
                 v.lineOf[t[1]], vt.lineOf[t[1]], vn.lineOf[t[1]], v.lineOf[t[2]], vt.lineOf[t[2]],
                 vn.lineOf[t[2]]);
    }
}

void writeMaterials(const std::string& path)
{
    LineWriter out(path);
    for (int m = 0; m < 100; ++m)
        out.line("newmtl m%d\nKd %.3f %.3f %.3f\n", m, m / 100.0, 0.5, 1 - m / 100.0);
}

void writeInputs(const std::string& folder, const std::vector<int>& sizes)
{
    writeMaterials(folder + "/materials.mtl");
    for (const int triangles : sizes) {
        for (const char* shape : {"grid", "groups", "torus", "positions"}) {
            Input input{shape, triangles, folder + "/" + shape + std::to_string(triangles) + ".obj"};
            if (input.shape == "torus")
                writeTorus(input.path, triangles);
            else
                writeGrid(input.path, triangles, input.shape == "positions", input.shape == "groups" ? 1000 : 0);
            inputs.push_back(input);
        }
    }
}

// ---------------------------------------------------------------- helper child

double monotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

rusage usage()
{
    rusage figures{};
    getrusage(RUSAGE_SELF, &figures);
    return figures;
}

double cpuSeconds(const rusage& figures)
{
    return double(figures.ru_utime.tv_sec + figures.ru_stime.tv_sec)
        + double(figures.ru_utime.tv_usec + figures.ru_stime.tv_usec) * 1e-6;
}

// Loads the file once with the named loader and frees what it made; only the
// load call itself is timed. Returns the seconds, or -1 when the load failed.
double timedLoad(const std::string& loader, const std::string& path)
{
    double start = 0, end = 0;
    if (loader == "ours" || loader == "plain") {
        start = monotonicSeconds();
        auto* mesh = static_cast<VESK::CMeshData*>(VESK::CFactoryLoader::loadFromFile(path));
        end = monotonicSeconds();
        if (mesh == nullptr)
            return -1;
        delete mesh;
    } else if (loader == "tinyobj") {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
        start = monotonicSeconds();
        const bool loaded = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), folder.c_str());
        end = monotonicSeconds();
        if (!loaded || shapes.empty())
            return -1;
    } else if (loader == "assimp") {
        Assimp::Importer importer;
        start = monotonicSeconds();
        const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices);
        end = monotonicSeconds();
        if (scene == nullptr || scene->mNumMeshes == 0)
            return -1;
    } else {
        return -1;
    }
    return end - start;
}

// `bench_obj --load LOADER FILE START`: START is the parent's steady-clock
// reading just before it forked. Prints "process processCpu first firstCpu
// faults loadFaults peakKiB repeat repeatFaults" on one line; exit status 1
// when a load fails.
int runHelper(const std::string& loader, const std::string& path, double start)
{
    // A failed load shows in the exit status; the log would only add noise.
    DEBUGGING::globalLog = DEBUGGING::CLogManager::getInstance().getLog("/dev/null");
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader(
        loader == "plain" ? VESK::CCornerResolver::Method::plain : VESK::CCornerResolver::Method::pipelined));
    const rusage before = usage();
    const double first = timedLoad(loader, path);
    const double process = monotonicSeconds() - start;
    const rusage afterFirst = usage();
    const double repeat = first >= 0 ? timedLoad(loader, path) : -1;
    const rusage afterRepeat = usage();
    VESK::CFactoryLoader::getInstance().clear();
    DEBUGGING::CLogManager::getInstance().shutdown();
    if (first < 0 || repeat < 0)
        return 1;
    std::printf("%.6f %.6f %.6f %.6f %ld %ld %ld %.6f %ld\n", process, cpuSeconds(afterFirst), first,
                cpuSeconds(afterFirst) - cpuSeconds(before), afterFirst.ru_minflt,
                afterFirst.ru_minflt - before.ru_minflt, afterFirst.ru_maxrss, repeat,
                afterRepeat.ru_minflt - afterFirst.ru_minflt);
    return 0;
}

// ---------------------------------------------------------------- parent

struct Figures {
    double process = 0, processCpu = 0, first = 0, firstCpu = 0, repeat = 0;
    double processFaults = 0, loadFaults = 0, repeatFaults = 0, peakKiB = 0;
};

// Runs argv as a child with its standard output in outputFile and its
// standard error (the tool's log) discarded, and returns its exit status (-1
// when it did not exit normally) with its resource usage.
int runChild(const std::vector<std::string>& argv, const std::string& outputFile, rusage& childUsage)
{
    std::vector<char*> pointers;
    for (const std::string& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen(outputFile.c_str(), "w", stdout) == nullptr
            || std::freopen("/dev/null", "w", stderr) == nullptr)
            _exit(127);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || wait4(child, &status, 0, &childUsage) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool measure(const std::string& loader, const Input& input, const std::string& scratch, Figures& figures)
{
    rusage childUsage{};
    const std::string start = std::to_string(monotonicSeconds());
    if (runChild({selfPath, "--load", loader, input.path, start}, scratch, childUsage) != 0)
        return false;
    std::FILE* output = std::fopen(scratch.c_str(), "r");
    if (output == nullptr)
        return false;
    const int read = std::fscanf(output, "%lf %lf %lf %lf %lf %lf %lf %lf %lf", &figures.process,
                                 &figures.processCpu, &figures.first, &figures.firstCpu, &figures.processFaults,
                                 &figures.loadFaults, &figures.peakKiB, &figures.repeat, &figures.repeatFaults);
    std::fclose(output);
    if (read != 9)
        return false;
    if (loader != "ours")
        return true;
    // Our whole-process figures come from the command-line tool instead.
    const double begin = monotonicSeconds();
    if (runChild({VESK_INSPECT, "mesh", input.path, "--summary"}, "/dev/null", childUsage) != 0)
        return false;
    figures.process = monotonicSeconds() - begin;
    figures.processCpu = cpuSeconds(childUsage);
    figures.processFaults = double(childUsage.ru_minflt);
    figures.peakKiB = double(childUsage.ru_maxrss);
    return true;
}

void measureLoads(benchmark::State& state, const Input* input, std::string loader, std::string scratch)
{
    for (auto _ : state) {
        Figures figures;
        if (!measure(loader, *input, scratch, figures)) {
            state.SkipWithError("load failed");
            return;
        }
        state.SetIterationTime(figures.first);
        state.counters["process_s"] = figures.process;
        state.counters["process_cpu_s"] = figures.processCpu;
        state.counters["first_cpu_s"] = figures.firstCpu;
        state.counters["repeat_s"] = figures.repeat;
        state.counters["faults"] = figures.processFaults;
        state.counters["load_faults"] = figures.loadFaults;
        state.counters["repeat_faults"] = figures.repeatFaults;
        state.counters["peak_MB"] = figures.peakKiB / 1024.0;
    }
}

std::string nameOf(const Input& input, const std::string& loader)
{
    return input.shape + "/" + std::to_string(input.triangles) + "/" + loader;
}

// Prints Google Benchmark's lines as usual and keeps the medians for the
// closing table.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // A single round has no aggregates: its one run is the median.
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!single && (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median"))
                continue;
            Figures& figures = medians[run.run_name.function_name];
            figures.first = run.GetAdjustedRealTime() / 1000.0;
            const auto counter = [&](const char* name) { return run.counters.at(name).value; };
            figures.process = counter("process_s");
            figures.processCpu = counter("process_cpu_s");
            figures.firstCpu = counter("first_cpu_s");
            figures.repeat = counter("repeat_s");
            figures.processFaults = counter("faults");
            figures.loadFaults = counter("load_faults");
            figures.repeatFaults = counter("repeat_faults");
            figures.peakKiB = counter("peak_MB") * 1024.0;
        }
    }
    std::map<std::string, Figures> medians;
};

void printTable(const std::map<std::string, Figures>& medians)
{
    std::printf("\nMedians; ratios are to tinyobjloader. process: whole process (ours: vesk-inspect --summary);\n"
                "first: first load of a fresh process; repeat: a second load in that process; wall and CPU\n"
                "seconds. faults: minor page faults of the whole process / of the first load / of the repeat;\n"
                "peak: the process's peak RSS.\n\n");
    std::printf("%-15s %-7s %8s %5s %8s %5s %8s %5s %8s %5s %8s %5s %7s %7s %7s %6s\n", "input", "loader", "proc s",
                "ratio", "proc cpu", "ratio", "first s", "ratio", "1st cpu", "ratio", "repeat s", "ratio", "faults",
                "load", "repeat", "peakMB");
    for (const Input& input : inputs) {
        const auto tiny = medians.find(nameOf(input, "tinyobj"));
        for (const char* loader : loaderNames) {
            const auto found = medians.find(nameOf(input, loader));
            if (found == medians.end() || tiny == medians.end())
                continue;
            const Figures& f = found->second;
            const Figures& t = tiny->second;
            const std::string label = input.shape + " " + std::to_string(input.triangles / 1000) + "k";
            std::printf("%-15s %-7s %8.3f %5.2f %8.3f %5.2f %8.3f %5.2f %8.3f %5.2f %8.3f %5.2f %7.0f %7.0f %7.0f %6.0f\n",
                        label.c_str(), loader, f.process, f.process / t.process, f.processCpu,
                        f.processCpu / t.processCpu, f.first, f.first / t.first, f.firstCpu, f.firstCpu / t.firstCpu,
                        f.repeat, f.repeat / t.repeat, f.processFaults, f.loadFaults, f.repeatFaults,
                        f.peakKiB / 1024.0);
        }
    }
    std::printf("\nWhat the pipeline gains: plain over ours, first load, wall and CPU.\n\n");
    for (const Input& input : inputs) {
        const auto ours = medians.find(nameOf(input, "ours"));
        const auto plain = medians.find(nameOf(input, "plain"));
        if (ours == medians.end() || plain == medians.end())
            continue;
        const std::string label = input.shape + " " + std::to_string(input.triangles / 1000) + "k";
        std::printf("%-15s %5.2f %5.2f\n", label.c_str(), plain->second.first / ours->second.first,
                    plain->second.firstCpu / ours->second.firstCpu);
    }
}

std::vector<int> sizesFromEnvironment()
{
    const char* list = std::getenv("VESK_BENCH_TRIANGLES");
    std::vector<int> sizes;
    for (const char* p = list != nullptr ? list : "1500000"; *p != '\0';) {
        char* end = nullptr;
        const long value = std::strtol(p, &end, 10);
        if (end == p)
            break;
        if (value > 0)
            sizes.push_back(static_cast<int>(value));
        p = *end == ',' ? end + 1 : end;
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--load") == 0)
        return runHelper(argv[2], argv[3], std::atof(argv[4]));

    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());

    selfPath = std::filesystem::canonical("/proc/self/exe").string();
    std::string folder = (std::filesystem::temp_directory_path() / "vesk-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr)
        return 1;
    const char* rounds = std::getenv("VESK_BENCH_ROUNDS");
    writeInputs(folder, sizesFromEnvironment());

    for (const Input& input : inputs) {
        for (const char* loader : loaderNames) {
            benchmark::RegisterBenchmark(nameOf(input, loader).c_str(), measureLoads, &input, std::string(loader),
                                         folder + "/figures.txt")
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(1)
                ->Repetitions(rounds != nullptr ? std::max(1, std::atoi(rounds)) : 5)
                ->ReportAggregatesOnly(true);
        }
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printTable(reporter.medians);
    std::filesystem::remove_all(folder);
    return 0;
}
