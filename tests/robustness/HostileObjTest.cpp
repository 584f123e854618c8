#include <memory>

#include "HostileInput.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

using namespace VESK;

namespace {

class HostileObjTest : public FactoryLoadTest {
protected:
    void SetUp() override
    {
        FactoryLoadTest::SetUp();
        CFactoryLoader::registerLoader(new CObjLoader());
    }

    // Writes the file and loads it with the outcome checked as clean; true
    // when a mesh came back.
    bool loads(const std::string& file, const std::string& text)
    {
        writeFile(file, text);
        return std::unique_ptr<CMeshData>(static_cast<CMeshData*>(loadCleanly(file, "VESK::CObjLoader"))) != nullptr;
    }
};

}  // namespace

TEST_F(HostileObjTest, IndicesBeyondEveryIntegerWidthNameNoVertex)
{
    // 2^32 + 1 and 2^64 + 1 must not wrap to 1, nor a relative index reaching
    // before the first line name anything, whichever list it indexes.
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
    for (const std::string index : {"2147483648", "4294967296", "4294967297", "18446744073709551617", "-4",
                                    "-18446744073709551617"})
        for (const std::string corners : {"f 1 2 ", "f 1/1 2/1 3/", "f 1//1 2//1 3//"})
            EXPECT_FALSE(loads("index.obj", triangle + corners + index + "\n")) << corners << index;
    // A folder in place of the MTL file leaves the triangles without material.
    std::filesystem::create_directory("folder.mtl");
    EXPECT_TRUE(loads("folder-mtl.obj", "mtllib folder.mtl\n" + triangle + "f 1 2 3\n"));
}

TEST_F(HostileObjTest, CommittedFuzzInputsLoadCleanly)
{
    // As in the OBJ target: the part after the line "#mtl" is fuzz.mtl.
    std::vector<std::filesystem::path> files = HostileInput::fuzzInputs("obj");
    EXPECT_FALSE(files.empty());
    for (const std::filesystem::path& path : files) {
        const std::string bytes = readFile(path.string());
        const std::size_t split = bytes.find("\n#mtl\n");
        writeFile("fuzz.mtl", split == std::string::npos ? "" : bytes.substr(split + 6));
        loads(path.filename().string() + ".obj", bytes.substr(0, split));
    }

    // As in the MTL target: the file of a fixed OBJ file.
    files = HostileInput::fuzzInputs("mtl");
    EXPECT_FALSE(files.empty());
    for (const std::filesystem::path& path : files) {
        writeFile("fuzz.mtl", readFile(path.string()));
        loads("mtl.obj", "mtllib fuzz.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                         "usemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\nf 3 2 1\n");
    }
}
