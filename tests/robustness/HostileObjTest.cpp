#include <cmath>
#include <memory>

#include "HostileInput.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

using namespace VESK;

namespace {

const std::string smallObj =
    "# two triangles of a textured, lit quad\n"
    "mtllib small.mtl\n"
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "vn 0 0 1\n"
    "usemtl Red\n"
    "f 1/1/1 2/2/1 3/3/1\n"
    "usemtl Blue\n"
    "f 1/1/1 3/3/1 4/4/1\n";

const std::string smallMtl =
    "newmtl Red\nKa 0.1 0 0\nKd 1 0 0\nKs 1 1 1\nNs 20\nmap_Kd red.png\n"
    "newmtl Blue\nKd 0 0 1\nd 0.5\n";

class HostileObjTest : public FactoryLoadTest {
protected:
    void SetUp() override
    {
        FactoryLoadTest::SetUp();
        CFactoryLoader::registerLoader(new CObjLoader());
    }

    // Loads through the factory with the outcome checked as clean; returns the
    // mesh, or null.
    std::unique_ptr<CMeshData> load(const std::string& file)
    {
        return std::unique_ptr<CMeshData>(static_cast<CMeshData*>(loadCleanly(file, "VESK::CObjLoader")));
    }

    std::unique_ptr<CMeshData> loadText(const std::string& file, const std::string& text)
    {
        writeFile(file, text);
        return load(file);
    }
};

}  // namespace

TEST_F(HostileObjTest, EveryTruncationOfAnObjOrItsMtlLoadsOrFailsCleanly)
{
    writeFile("small.mtl", smallMtl);
    const std::unique_ptr<CMeshData> whole = loadText("small.obj", smallObj);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->subMeshes.size(), 2u);
    int loaded = 0;
    for (std::size_t length = 0; length < smallObj.size(); ++length)
        loaded += loadText("cut" + std::to_string(length) + ".obj", smallObj.substr(0, length)) != nullptr;
    // From the first whole face line on, a prefix draws something.
    EXPECT_GT(loaded, 20);
    EXPECT_EQ(loadText("cut0.obj", ""), nullptr);

    // A cut material name may match no usemtl: its triangles go unclaimed.
    writeFile("small.obj", smallObj);
    for (std::size_t length = 0; length < smallMtl.size(); ++length) {
        writeFile("small.mtl", smallMtl.substr(0, length));
        load("small.obj");
    }
}

TEST_F(HostileObjTest, RandomBytesNulBytesAndFoldersLoadOrFailCleanly)
{
    for (std::uint32_t seed = 1; seed <= 30; ++seed)
        loadText("random" + std::to_string(seed) + ".obj", HostileInput::randomBytes(4096, seed));
    EXPECT_EQ(loadText("zeros.obj", std::string(4096, '\0')), nullptr);

    // NUL bytes inside the material names and the MTL file's name.
    using namespace std::string_literals;
    writeFile("small.mtl", "newmtl Re\0d\nKd 1 0 0\nnewmtl Red\nKd 0 1 0\n"s);
    const std::unique_ptr<CMeshData> named =
        loadText("nul.obj", "mtllib small.mtl\0ignored\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl Re\0d\nf 1 2 3\n"s);
    ASSERT_NE(named, nullptr);
    ASSERT_EQ(named->subMeshes.size(), 2u);
    EXPECT_EQ(named->subMeshes[0].name, "Re\0d"s);
    EXPECT_EQ(named->subMeshes[0].triangleCount, 1u);
    EXPECT_EQ(named->subMeshes[1].triangleCount, 0u);

    std::filesystem::create_directory("Mesh.obj");
    EXPECT_EQ(load("Mesh.obj"), nullptr);
    std::filesystem::create_directory("folder.mtl");
    EXPECT_NE(loadText("folder-mtl.obj", "mtllib folder.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), nullptr);
}

TEST_F(HostileObjTest, TenMegabyteLinesAreReadWhole)
{
    const std::string tenMegabytes(10 << 20, 'a');
    writeFile("long.mtl", "newmtl " + tenMegabytes + "\nKd 0 1 0\nmap_Kd " + tenMegabytes + ".png\n");
    const std::unique_ptr<CMeshData> mesh = loadText(
        "long.obj", "# " + tenMegabytes + "\nmtllib long.mtl\nv 1" + std::string(10 << 20, '0') + " 0 0\nv 0 " +
                        std::string(10 << 20, ' ') + "1 0\nv 0 0 1\nusemtl " + tenMegabytes + "\nf 1 2 3" +
                        std::string(10 << 20, ' ') + "\n");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertices[0], INFINITY);
    EXPECT_EQ(mesh->vertices[4], 1.0f);
    ASSERT_EQ(mesh->subMeshes.size(), 1u);
    EXPECT_EQ(mesh->subMeshes[0].name.size(), tenMegabytes.size());
    EXPECT_EQ(mesh->subMeshes[0].textureName, tenMegabytes + ".png");
    EXPECT_EQ(mesh->subMeshes[0].triangleCount, 1u);
}

TEST_F(HostileObjTest, HugeIndicesNeverWrap)
{
    // 2^31 and 2^32 + 1 name no vertex; 2^32 + 1 must not be read as 1, nor a
    // relative index reaching before the first line as anything.
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (const std::string index : {"2147483648", "4294967297", "4294967296", "18446744073709551617", "-4", "-18446744073709551617"}) {
        EXPECT_EQ(loadText("index.obj", triangle + "f 1 2 " + index + "\n"), nullptr) << index;
        EXPECT_EQ(loadText("index.obj", triangle + "vt 0 0\nf 1/1 2/1 3/" + index + "\n"), nullptr) << index;
        EXPECT_EQ(loadText("index.obj", triangle + "vn 0 0 1\nf 1//1 2//1 3//" + index + "\n"), nullptr) << index;
    }
}

TEST_F(HostileObjTest, CommittedFuzzInputsLoadCleanly)
{
    std::vector<std::filesystem::path> files = HostileInput::fuzzInputs("obj");
    EXPECT_FALSE(files.empty());
    // As in the OBJ target: the part after the line "#mtl" is fuzz.mtl.
    for (const std::filesystem::path& path : files) {
        const std::string bytes = readFile(path.string());
        const std::size_t split = bytes.find("\n#mtl\n");
        writeFile("fuzz.mtl", split == std::string::npos ? "" : bytes.substr(split + 6));
        loadText(path.filename().string() + ".obj", bytes.substr(0, split));
    }

    files = HostileInput::fuzzInputs("mtl");
    EXPECT_FALSE(files.empty());
    // As in the MTL target: the file of a fixed OBJ file.
    writeFile("mtl.obj", "mtllib fuzz.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                         "usemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\nf 3 2 1\n");
    for (const std::filesystem::path& path : files) {
        writeFile("fuzz.mtl", readFile(path.string()));
        load("mtl.obj");
    }
}
