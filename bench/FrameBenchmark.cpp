// Start-up and frame cost of the viewer on two generated scenes.
// Start-up: one model of 1M triangles in 16 materials, each with its own
// 2048 x 2048 texture (8 JPEG, 8 PNG). BM_StartUpPhases loads it step by step
// as the viewer does and reports the CPU seconds of each phase: the OBJ load,
// the model's buffer upload, the picture loads (and, within them, DevIL's
// decode alone, measured on its own), the textures' storage and their mipmaps
// built by GLU. It runs first, so that its first repetition is the first
// start-up of the process; later ones reuse freed pages. BM_StartUp times the
// viewer's own start-up code on the same scene.
// Frames: 200 frames over 50 distinct meshes and 10 textures of 1024 x 1024,
// drawn through the viewer's own code and, side by side, by a minimal loop
// over the same GL buffers with one glDrawElements per sub-mesh and no lookups.

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <IL/il.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/SceneAssets.h"
#include "app/Viewer.h"
#include "app/ViewerGlobals.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/resources/CResourceManager.h"
#include "engine_gl/CGLModel.h"
#include "engine_gl/CGLTexture.h"
#include "engine_gl/GLRenderer.h"

float windowWidth = 1024.0f;
float windowHeight = 768.0f;
CSceneNode sceneRoot;
CMyVector<float, 3> cameraPosition(0.0f, 0.0f, 0.0f);
CMyVector<float, 2> cameraRotation(0.0f, 0.0f);

namespace {

constexpr int meshCount = 50;
constexpr int textureCount = 10;
constexpr int frameCount = 200;
constexpr int textureSize = 1024;

std::string textureName(int i)
{
    return "texture" + std::to_string(i) + ".tga";
}

void writeTexture(const std::filesystem::path& path, int seed)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(textureSize & 0xff);
    bytes[13] = static_cast<char>(textureSize >> 8);
    bytes[14] = static_cast<char>(textureSize & 0xff);
    bytes[15] = static_cast<char>(textureSize >> 8);
    bytes[16] = 24;
    bytes.reserve(bytes.size() + textureSize * textureSize * 3);
    for (int y = 0; y < textureSize; ++y)
        for (int x = 0; x < textureSize; ++x) {
            const bool light = ((x / 64) + (y / 64) + seed) % 2 == 0;
            bytes += static_cast<char>(light ? 200 : 40 + seed * 15);
            bytes += static_cast<char>(light ? 180 : 60);
            bytes += static_cast<char>(light ? 160 : 200 - seed * 15);
        }
    std::ofstream(path, std::ios::binary) << bytes;
}

// A UV sphere of 32 x 16 segments, top half in one material, bottom in another.
void writeMesh(const std::filesystem::path& folder, int i)
{
    const std::string name = "Mesh" + std::to_string(i);
    std::ofstream obj(folder / (name + ".obj"));
    obj << "mtllib " << name << ".mtl\n";
    const int slices = 32, stacks = 16;
    for (int s = 0; s <= stacks; ++s)
        for (int l = 0; l <= slices; ++l) {
            const double theta = M_PI * s / stacks, phi = 2 * M_PI * l / slices;
            const double x = std::sin(theta) * std::cos(phi), y = std::cos(theta), z = std::sin(theta) * std::sin(phi);
            obj << "v " << x << ' ' << y << ' ' << z << "\nvn " << x << ' ' << y << ' ' << z << "\nvt "
                << double(l) / slices << ' ' << double(s) / stacks << '\n';
        }
    for (int half = 0; half < 2; ++half) {
        obj << "usemtl Half" << half << '\n';
        for (int s = half * stacks / 2; s < (half + 1) * stacks / 2; ++s)
            for (int l = 0; l < slices; ++l) {
                const int a = s * (slices + 1) + l + 1, b = a + slices + 1;
                obj << "f " << a << '/' << a << '/' << a << ' ' << a + 1 << '/' << a + 1 << '/' << a + 1 << ' '
                    << b + 1 << '/' << b + 1 << '/' << b + 1 << ' ' << b << '/' << b << '/' << b << '\n';
            }
    }
    std::ofstream mtl(folder / (name + ".mtl"));
    for (int half = 0; half < 2; ++half)
        mtl << "newmtl Half" << half << "\nKd 0.8 0.8 0.8\nmap_Kd " << textureName((2 * i + half) % textureCount)
            << '\n';
}

void writeScene(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder / "Data");
    for (int i = 0; i < textureCount; ++i)
        writeTexture(folder / "Data" / textureName(i), i);
    for (int i = 0; i < meshCount; ++i)
        writeMesh(folder / "Data", i);
    std::ofstream scene(folder / "SceneGraph.sg");
    scene << "Frame {\nFrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,0,0,40,1;;\n}\n";
    for (int f = 0; f < frameCount; ++f) {
        const int column = f % 20, row = f / 20;
        scene << "Frame Mesh" << f % meshCount << " {\nFrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,"
              << (column - 9.5) * 3 << ',' << (row - 4.5) * 3 << ",0,1;;\n}\n}\n";
    }
    scene << "}\n";
}

std::filesystem::path frameFolder, startUpFolder;

constexpr int startUpTriangles = 1000000;
constexpr int startUpTextureCount = 16;
constexpr int startUpTextureSize = 2048;

std::string startUpTextureName(int i)
{
    return "picture" + std::to_string(i) + (i % 2 == 0 ? ".jpg" : ".png");
}

// Smooth gradients with a little noise, so that JPEG and PNG compress it
// about as they would a painted or photographed texture.
void writePicture(VESK::CPictureLoader& loader, const std::filesystem::path& path, int seed)
{
    const int side = startUpTextureSize;
    VESK::CPicture picture(CMyVector<int, 2>(side, side), VESK::PICTURE_BGR, nullptr);
    std::uint32_t noise = 2654435761u * static_cast<std::uint32_t>(seed + 1);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            noise = noise * 1664525u + 1013904223u;
            std::uint8_t* pixel = picture.pixels + (std::size_t(y) * side + x) * 3;
            const int grain = static_cast<int>(noise >> 28);
            pixel[0] = static_cast<std::uint8_t>(100 + 90 * std::sin(x * 0.01 + seed) + grain);
            pixel[1] = static_cast<std::uint8_t>(100 + 90 * std::cos(y * 0.013 - seed) + grain);
            pixel[2] = static_cast<std::uint8_t>(100 + 90 * std::sin((x + y) * 0.007) + grain);
        }
    loader.saveToFile(&picture, path.string());
}

// A height-field grid of startUpTriangles triangles (v/vt/vn) in 16 bands,
// one material and texture each.
void writeStartUpScene(VESK::CPictureLoader& pictures)
{
    const std::filesystem::path data = startUpFolder / "Data";
    std::filesystem::create_directories(data);
    for (int i = 0; i < startUpTextureCount; ++i)
        writePicture(pictures, data / startUpTextureName(i), i);
    std::ofstream mtl(data / "Model.mtl");
    for (int i = 0; i < startUpTextureCount; ++i)
        mtl << "newmtl M" << i << "\nKd 0.8 0.8 0.8\nmap_Kd " << startUpTextureName(i) << '\n';

    const int side = static_cast<int>(std::lround(std::sqrt(startUpTriangles / 2.0))), points = side + 1;
    std::FILE* obj = std::fopen((data / "Model.obj").c_str(), "wb");
    std::fputs("mtllib Model.mtl\n", obj);
    for (int j = 0; j < points; ++j)
        for (int i = 0; i < points; ++i) {
            const double x = double(i) / side, y = double(j) / side;
            std::fprintf(obj, "v %.6f %.6f %.6f\nvt %.6f %.6f\nvn 0 0 1\n", x * 20 - 10, y * 20 - 10,
                         0.3 * std::sin(7 * x) * std::cos(5 * y), x, y);
        }
    for (int j = 0; j < side; ++j) {
        if (j % ((side + startUpTextureCount - 1) / startUpTextureCount) == 0)
            std::fprintf(obj, "usemtl M%d\n", j / ((side + startUpTextureCount - 1) / startUpTextureCount));
        for (int i = 0; i < side; ++i) {
            const int a = j * points + i + 1, b = a + 1, c = a + points + 1, d = a + points;
            std::fprintf(obj, "f %d/%d/%d %d/%d/%d %d/%d/%d\nf %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c,
                         c, c, a, a, a, c, c, c, d, d, d);
        }
    }
    std::fclose(obj);
    std::ofstream(startUpFolder / "SceneGraph.sg")
        << "Frame {\nFrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,0,0,40,1;;\n}\n"
           "Frame Model {\nFrameTransformMatrix {\n1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;\n}\n}\n}\n";
}

// One draw of the baseline: the matrix the viewer would have reached, and the
// model's buffers, material and texture for one sub-mesh.
struct DrawItem {
    std::vector<float> matrix;
    VESK_GL::CGLModel* model;
    unsigned int subMesh;
    GLuint texture;
};

std::vector<DrawItem> baselineItems;

void collectBaselineItems()
{
    VESK::CResourceManager& resources = VESK::CResourceManager::getInstance();
    glMatrixMode(GL_MODELVIEW);
    for (const CSceneNode* frame : sceneRoot.children[0]->children) {
        glPushMatrix();
        glMultMatrixf(sceneRoot.children[0]->transform);
        glMultMatrixf(frame->transform);
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        std::vector<float> matrix(16);
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
        glPopMatrix();
        auto* model = dynamic_cast<VESK_GL::CGLModel*>(resources.getResource(frame->meshNames[0] + ".obj"));
        for (unsigned int i = 0; i < model->getSubMeshCount(); ++i) {
            auto* texture =
                dynamic_cast<VESK_GL::CGLTexture<GL_TEXTURE_2D>*>(resources.getResource(model->getTextureName(i)));
            baselineItems.push_back({matrix, model, i, texture->getGLName()});
        }
    }
}

void drawBaseline()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    for (const DrawItem& item : baselineItems) {
        glLoadMatrixf(item.matrix.data());
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, item.model->getVertexBuffer().getGLName());
        glVertexPointer(3, GL_FLOAT, 32, nullptr);
        glNormalPointer(GL_FLOAT, 32, reinterpret_cast<const void*>(12));
        glTexCoordPointer(2, GL_FLOAT, 32, reinterpret_cast<const void*>(24));
        glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, item.model->getIndexBuffer().getGLName());
        glBindTexture(GL_TEXTURE_2D, item.texture);
        const VESK_GL::CSubMeshRange& range = item.model->getRanges()[item.subMesh];
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(range.triangleCount * 3), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(static_cast<std::uintptr_t>(range.firstIndex) * 4));
    }
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glPopMatrix();
    glFinish();
}

void drawViewer()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    drawSceneNode(sceneRoot);
    glPopMatrix();
    glFinish();
}

void BM_StartUp(benchmark::State& state)
{
    std::filesystem::current_path(startUpFolder);
    baselineItems.clear();
    VESK::CResourceManager::getInstance().releaseAll();
    for (auto _ : state) {
        sceneRoot.loadSceneGraph("SceneGraph.sg");
        loadSceneAssets();
        glFinish();
        state.PauseTiming();
        VESK::CResourceManager::getInstance().releaseAll();
        state.ResumeTiming();
    }
}

// Phases are timed in the process's CPU time, user and system (page faults
// included): on a shared machine, wall time mostly measures the neighbours.
double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec * 1e-9;
}

double secondsSince(double start)
{
    return cpuSeconds() - start;
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// DevIL's decode of one file and nothing else, as the picture loader asks for it.
void decodeOnly(const std::string& path)
{
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilLoad(path.compare(path.size() - 4, 4, ".png") == 0 ? IL_PNG : IL_JPG, path.c_str());
    ilDeleteImages(1, &image);
}

// The viewer's start-up of one model, step by step as loadSceneAssets takes
// it, with a clock on each step. The textures stay alive until the end, as
// they do in the viewer, so that each picture load finds the memory the
// viewer's would.
void BM_StartUpPhases(benchmark::State& state)
{
    std::filesystem::current_path(startUpFolder);
    for (auto _ : state) {
        const long faultsBefore = minorFaults();
        double start = cpuSeconds();
        std::unique_ptr<VESK::CMeshData> mesh(
            static_cast<VESK::CMeshData*>(VESK::CFactoryLoader::loadFromFile("Data/Model.obj")));
        const double obj = secondsSince(start);
        start = cpuSeconds();
        VESK_GL::CGLModel model;
        model.buildFromMeshData(mesh.get());
        glFinish();
        mesh.reset();
        const double upload = secondsSince(start);

        double pictures = 0, storage = 0, mipmaps = 0, decode = 0;
        long pictureFaults = 0, storageFaults = 0, mipmapFaults = 0;
        std::vector<std::unique_ptr<VESK_GL::CGLTexture<GL_TEXTURE_2D>>> textures;
        for (const std::string& name : model.textureNames) {
            const std::string path = "Data/" + name;
            long faults = minorFaults();
            start = cpuSeconds();
            std::unique_ptr<VESK::CPicture> picture(
                static_cast<VESK::CPicture*>(VESK::CFactoryLoader::loadFromFile(path)));
            pictures += secondsSince(start);
            pictureFaults += minorFaults() - faults;
            if (!picture) {
                state.SkipWithError("picture load failed");
                return;
            }
            textures.push_back(std::make_unique<VESK_GL::CGLTexture<GL_TEXTURE_2D>>());
            faults = minorFaults();
            start = cpuSeconds();
            textures.back()->createStorage(CMyVector<int, 3>(picture->size[0], picture->size[1], 0), picture->format,
                                           false);
            glFinish();
            storage += secondsSince(start);
            storageFaults += minorFaults() - faults;
            faults = minorFaults();
            start = cpuSeconds();
            textures.back()->uploadPixels(*picture);
            glFinish();
            mipmaps += secondsSince(start);
            mipmapFaults += minorFaults() - faults;
            start = cpuSeconds();
            picture.reset();
            pictures += secondsSince(start);
            start = cpuSeconds();
            decodeOnly(path);
            decode += secondsSince(start);
        }
        state.SetIterationTime(obj + upload + pictures + storage + mipmaps);
        state.counters["obj_s"] = obj;
        state.counters["model_s"] = upload;
        state.counters["pictures_s"] = pictures;
        state.counters["decode_s"] = decode;
        state.counters["ours_s"] = pictures - decode;
        state.counters["storage_s"] = storage;
        state.counters["mipmaps_s"] = mipmaps;
        state.counters["picture_faults"] = double(pictureFaults);
        state.counters["storage_faults"] = double(storageFaults);
        state.counters["mipmap_faults"] = double(mipmapFaults);
        state.counters["faults"] = double(minorFaults() - faultsBefore);
    }
}

// The frame benchmarks draw the frame scene as start-up leaves it.
void loadFrameScene()
{
    if (!baselineItems.empty())
        return;
    std::filesystem::current_path(frameFolder);
    VESK::CResourceManager::getInstance().releaseAll();
    sceneRoot.loadSceneGraph("SceneGraph.sg");
    loadSceneAssets();
    collectBaselineItems();
    std::printf("frame scene: %zu frames, %zu draws of a sub-mesh per frame\n",
                sceneRoot.children[0]->children.size(), baselineItems.size());
}

void BM_ViewerFrame(benchmark::State& state)
{
    loadFrameScene();
    for (auto _ : state)
        drawViewer();
}

void BM_BaselineFrame(benchmark::State& state)
{
    loadFrameScene();
    VESK_GL::GLRenderer::getInstance().setDeclaration(nullptr);
    for (auto _ : state)
        drawBaseline();
}

// Prints the results as usual and, at the end, the viewer's frame time as a
// multiple of the baseline's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double viewer = seconds["BM_ViewerFrame"], baseline = seconds["BM_BaselineFrame"];
        if (viewer > 0 && baseline > 0)
            std::printf("viewer frame / baseline frame: %.3f\n", viewer / baseline);
    }

private:
    std::map<std::string, double> seconds;
};

}  // namespace

// Start-up comes first, in a process that has loaded nothing yet.
BENCHMARK(BM_StartUpPhases)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ViewerFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BaselineFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::string folderName = (std::filesystem::temp_directory_path() / "vesk-bench-frame-XXXXXX").string();
    if (mkdtemp(folderName.data()) == nullptr)
        return 1;
    const std::filesystem::path folder = folderName;
    frameFolder = folder / "frames";
    startUpFolder = folder / "startup";
    // The scenes are written by a child of their own: writing them here would
    // leave freed memory behind for the start-up to reuse, which the viewer's
    // first start-up never finds.
    const pid_t writer = fork();
    if (writer == 0) {
        writeScene(frameFolder);
        VESK::CPictureLoader pictures;
        writeStartUpScene(pictures);
        _exit(0);
    }
    int status = 0;
    if (writer < 0 || waitpid(writer, &status, 0) != writer || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    std::filesystem::current_path(folder);

    DEBUGGING::globalLog = DEBUGGING::CLogManager::getInstance().getLog("global.log");
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(static_cast<int>(windowWidth), static_cast<int>(windowHeight));
    glutCreateWindow("My Window");
    VESK_GL::GLRenderer::getInstance().initialize();
    VESK::CFactoryLoader::registerLoader(new VESK::CPictureLoader());
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());
    initLighting();
    reshape(static_cast<int>(windowWidth), static_cast<int>(windowHeight));

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    sceneRoot.clear(nullptr);
    VESK::CResourceManager::getInstance().releaseAll();
    VESK::CFactoryLoader::getInstance().clear();
    DEBUGGING::CLogManager::getInstance().shutdown();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(folder);
    return 0;
}
