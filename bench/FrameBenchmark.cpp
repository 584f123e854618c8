// Start-up and frame cost of the viewer on a generated scene: 200 frames over
// 50 distinct meshes and 10 textures of 1024 x 1024, drawn through the
// viewer's own code and, side by side, by a minimal loop over the same GL
// buffers with one glDrawElements per sub-mesh and no lookups.

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/SceneAssets.h"
#include "app/Viewer.h"
#include "app/ViewerGlobals.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CObjLoader.h"
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

void BM_ViewerFrame(benchmark::State& state)
{
    for (auto _ : state)
        drawViewer();
}

void BM_BaselineFrame(benchmark::State& state)
{
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

// The frame benchmarks come first: start-up releases the scene they draw.
BENCHMARK(BM_ViewerFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BaselineFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vesk-bench-frame";
    std::filesystem::remove_all(folder);
    writeScene(folder);
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

    // The frame benchmarks draw the scene as start-up leaves it.
    sceneRoot.loadSceneGraph("SceneGraph.sg");
    loadSceneAssets();
    collectBaselineItems();
    std::printf("scene: %zu frames, %zu draws of a sub-mesh per frame\n", sceneRoot.children[0]->children.size(),
                baselineItems.size());

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
