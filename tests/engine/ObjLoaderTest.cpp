#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>

#include "FailingAllocations.h"
#include "ObjGenerator.h"
#include "ObjReference.h"
#include "debugging/CException.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CObjLoader.h"
#include "support/LoggedWorkDir.h"

using namespace VESK;

namespace {

const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

class ObjLoaderTest : public LoggedWorkDir {
protected:
    void SetUp() override
    {
        LoggedWorkDir::SetUp();
        CFactoryLoader::registerLoader(new CObjLoader());
    }

    void TearDown() override
    {
        CFactoryLoader::getInstance().clear();
        LoggedWorkDir::TearDown();
    }

    // The record loaded through the factory as recordText writes it, or
    // nothing when it failed; with `allowed` of 0 or more, allocations of
    // 64 KiB or more fail after that many. Nothing may be logged when the
    // load succeeds; else exactly one line, the loader's message followed by
    // what `reason` matches.
    std::optional<std::string> load(const std::string& path, const std::string& reason = "", int allowed = -1)
    {
        const std::size_t before = logBody().size();
        std::unique_ptr<CMeshData> mesh;
        {
            std::optional<FailingAllocations> failing;
            if (allowed >= 0)
                failing.emplace(64 << 10, allowed);
            mesh.reset(static_cast<CMeshData*>(CFactoryLoader::loadFromFile(path)));
        }
        const std::vector<std::string> lines = logBody();
        EXPECT_EQ(lines.size(), before + (mesh ? 0 : 1)) << path;
        const std::string message = "T -> [ ERROR ] VESK::CObjLoader::loadFromFile " + path + " [FAILED]";
        if (!mesh && lines.size() == before + 1) {
            EXPECT_TRUE(std::regex_match(lines.back(), std::regex(regexQuote(message) + reason)))
                << lines.back() << "\nexpected: " << message << reason;
        }
        // Reading the outline refuses exactly what the load refuses.
        if (allowed < 0) {
            std::string refusal;
            try {
                CObjLoader().readOutline(path);
            } catch (const DEBUGGING::CException& error) {
                refusal = "T -> [ ERROR ] " + std::string(error.what());
            }
            EXPECT_EQ(refusal, mesh ? "" : lines.back()) << path;
        }
        return mesh ? std::optional(recordText(*mesh)) : std::nullopt;
    }
};

}  // namespace

TEST_F(ObjLoaderTest, SmallFilesGiveExactlyTheirRecord)
{
    using namespace std::string_literals;
    const std::string lists = triangle + "vt 0.25 0.75\nvt 1 0\nvn 0 0 1\nvn 0 1 0\n";
    const std::string square = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 2 0\n";
    const std::string longName = std::string(1 << 20, 'n') + "\0b"s;
    const struct {
        std::string obj;
        std::string mtl;  // a.mtl; b.mtl after a line "--"
        std::string expected;
    } cases[] = {
        // u is kept and v negated; a missing v reads as 0.
        {triangle + "vt 0.5 0.75 9\nvt 0.5\nvt nan -inf\nf 1/1 2/2 3/3\n", "",
         "20 p3@0 t2@12 . | 0 0 0 0.5 -0.75 1 0 0 0.5 -0 0 1 0 nan7fc00000 inf | 0 1 2 |"},
        // Lists no face refers to shape the layout; corners take their own
        // word forms.
        {lists + "f 1 2 3\n", "",
         "32 p3@0 n3@12 t2@24 . | 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 | 0 1 2 |"},
        {lists + "f 1/2 2//2 3/1/1\n", "",
         "32 p3@0 n3@12 t2@24 . | 0 0 0 0 0 0 1 -0 1 0 0 0 1 0 0 0 0 1 0 0 0 1 0.25 -0.75 | 0 1 2 |"},
        // Polygons become fans around their first vertex; a face of two words
        // adds nothing; the winding of the file is kept; index words read as
        // atoi reads them.
        {square + "f 1 2 3 4 5\nf 5 4\nf +3 002 1abc\nf 1\n", "",
         "12 p3@0 . | 0 0 0 1 0 0 1 1 0 0 1 0 0.5 2 0 | 0 1 2 0 2 3 0 3 4 2 1 0 |"},
        // Vertices are shared only when equal bit for bit.
        {"v 0 0 0\nv -0 0 0\nv 0.0 0 0\nv nan 0 0\nv -nan 0 0\nv NAN 0 0\nvn 0 0 1\nvn 0 1 0\nvn 0 0 1\n"
         "f 1 2 3\nf 4 5 6\nf 1//1 1//2 3//3\n", "",
         "24 p3@0 n3@12 . | 0 0 0 0 0 0 -0 0 0 0 0 0 nan7fc00000 0 0 0 0 0 nanffc00000 0 0 0 0 0 0 0 0 0 0 1 "
         "0 0 0 0 1 0 | 0 1 0 2 3 2 4 5 4 |"},
        // Later lines may define what earlier faces use.
        {"f 1/1 2/2 3/1\nv 0 0 0\nv 1 0 0\nf 1 2 3//1\nvt 0.5 0.5\nv 0 1 0\nvt 1 1\nvn 0 0 1\nf 3/2/1 2 1\n", "",
         "32 p3@0 n3@12 t2@24 . | 0 0 0 0 0 0 0.5 -0.5 1 0 0 0 0 0 1 -1 0 1 0 0 0 0 0.5 -0.5 0 0 0 0 0 0 0 0 1 0 0 0 "
         "0 0 0 0 0 1 0 0 0 1 0 0 0 1 0 0 0 1 1 -1 | 0 1 2 3 4 5 6 4 3 |"},
        // Triangles are regrouped in the order of the materials; a material
        // name no usemtl gives, or a nameless usemtl, adds nothing; two
        // materials of one name each collect its triangles.
        {"mtllib a.mtl\n" + triangle + "usemtl B\nf 2 3 1\nusemtl A\nf 3 1 2\nusemtl\nusemtl B\nf 1 3 2\n",
         "newmtl A\nnewmtl B\nnewmtl C\nnewmtl A\nKd 0 0 1\n",
         "12 p3@0 . | 1 0 0 0 1 0 0 0 0 | 1 2 0 0 1 2 2 1 0 1 2 0 | 'A' 0+1 * 'B' 3+2 * 'C' 9+0 * 'A' 9+1  Kd 0 0 1 1"},
        // An MTL file without usemtl lines, and usemtl lines without an MTL
        // file (a missing one, a folder).
        {"mtllib a.mtl\n" + triangle + "f 1 2 3\n", "newmtl A\nnewmtl B\n",
         "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 0 1 2 | 'A' 0+0 * 'B' 0+0 * '' 0+1 *"},
        {"mtllib none.mtl folder.mtl\n" + triangle + "f 1 2 3\nusemtl A\nf 3 2 1\n", "",
         "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 0 1 2 2 1 0 |"},
        // Faces before the first usemtl, as Blender writes them, and faces
        // under a name no material bears: a last sub-mesh, default material.
        {"mtllib a.mtl\no Cube\n" + triangle + "f 1 2 3\nusemtl A\nf 3 2 1\nusemtl Lost\nf 2 3 1\n",
         "newmtl A\nKd 1 0 0\nmap_Kd a.png\n",
         "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 2 1 0 0 1 2 1 2 0 | 'A' 0+1 a.png Kd 1 0 0 1 '' 3+2 *"},
        {"mtllib a.mtl\n" + triangle + "usemtl Lost\nf 1 2 3\n", "newmtl A\n",
         "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 0 1 2 | 'A' 0+0 * '' 0+1 *"},
        // Relative indices count back from the lines read before the face.
        {triangle + "vt 0.5 1\nf -3/-1 -2/-1 -1/-1\nv 1 1 0\nf -3/1 -1/-1 -2/1\n", "",
         "20 p3@0 t2@12 . | 0 0 0 0.5 -1 1 0 0 0.5 -1 0 1 0 0.5 -1 1 1 0 0.5 -1 | 0 1 2 1 3 2 |"},
        // Every mtllib word, each file once (also under another name); lines
        // before a file's first newmtl change no material.
        {"mtllib a.mtl\nmtllib b.mtl ./a.mtl a.mtl\n" + triangle + "usemtl B\nf 1 2 3\nusemtl A\nf 3 2 1\n",
         "newmtl A\n--\nKd 0 1 0\nnewmtl B\nmap_Kd b.png\n",
         "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 2 1 0 0 1 2 | 'A' 0+1 * 'B' 3+1 b.png*"},
        // Trailing comments, and lines continued after a backslash.
        {"v 0 0 0 # origin\nv 1 0 0\nv 0 1 \\\r\n 0\nvt 0.25 # 0.5\nf 1/1 \\\n2/1 \\\r\n3/1 # 4/1\n", "",
         "20 p3@0 t2@12 . | 0 0 0 0.25 -0 1 0 0 0.25 -0 0 1 0 0.25 -0 | 0 1 2 |"},
        // Indices into lists the file has no line of are ignored.
        {triangle + "f 1/1/1 2/2/2 3/3/3 \\", "", "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 0 1 2 |"},
        // Lines of megabytes (longer than a read block) in both files, and NUL
        // bytes, which end numbers but stay in names.
        {"# " + std::string(3 << 20, 'x') + "\nmtllib a.mtl\r\nv 1" + std::string(2 << 20, '1') +
             " 0\0 0\nv 1 0 0\nv 0 1 0\nusemtl "s + longName + "\nf 1 2 3\n",
         "newmtl " + longName + "\nmap_Kd " + longName + "\n",
         "12 p3@0 . | inf 0 0 1 0 0 0 1 0 | 0 1 2 | '" + longName + "' 0+1 " + longName + "*"},
        // A byte order mark, CRLF and any blanks between words; a carriage
        // return alone does not end a line (the second v is a surplus word of
        // the first).
        {"\xEF\xBB\xBFmtllib\ta.mtl\n \fv 0 0 0\rv 5 5 5\nv\v1 0 0\nv 0 1 0 \r\n\t\nv 1 1 0\nusemtl red  \n"
         "f\t1 2\f3 4\r\r\n",
         "newmtl red\nKd 1 0 0\n", "12 p3@0 . | 0 0 0 1 0 0 0 1 0 1 1 0 | 0 1 2 0 2 3 | 'red' 0+2  Kd 1 0 0 1"},
        // Material values: lines before the first newmtl and a nameless
        // newmtl set nothing; d and Tr set the alpha of the colours after
        // them; short or unknown lines are skipped; map_Kd takes its first word.
        {"mtllib a.mtl\n" + triangle + "usemtl red\nf 1 2 3\nusemtl glass\nf 1 2 3\nusemtl plain\nf 1 2 3\n"
         "usemtl tinted\nf 1 2 3\n",
         "\xEF\xBB\xBFKd 0 1 0\nNs 5\nnewmtl\nnewmtl red\r\nKd 1 0 0\r\nd 0.5\r\nKs 1 1 1\r\n"
         "newmtl glass\nd 0.3\nKa 0.2 0.2 0.2\nKd 0.5 0.5\nd\nNs 250\nmap_Kd\nmap_Kd wood.png -bm 1\n"
         "newmtl plain\nKs 0.5 0.5 0.5\nkd 1 1 1\nKe 1 1 1\nmap_Kd\nnewmtl tinted\nTr 0.25 0.9\nKd 1 1 1 7\nillum 2\n",
         "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 0 1 2 0 1 2 0 1 2 0 1 2 | 'red' 0+1  Kd 1 0 0 1 Ks 1 1 1 0.5 'glass' 3+1 "
         "wood.png Ka 0.2 0.2 0.2 0.3 Ns 250 'plain' 6+1  Ks 0.5 0.5 0.5 1 'tinted' 9+1  Kd 1 1 1 0.25"},
    };
    std::filesystem::create_directory("folder.mtl");
    for (const auto& c : cases) {
        const std::size_t split = c.mtl.find("--\n");
        writeFile("a.mtl", c.mtl.substr(0, split));
        writeFile("b.mtl", split == std::string::npos ? "" : c.mtl.substr(split + 3));
        writeFile("case.obj", c.obj);
        EXPECT_EQ(load("case.obj").value_or("(failed)"), c.expected) << c.obj;
        EXPECT_EQ(referenceText("case.obj"), c.expected) << c.obj;
    }
}

TEST_F(ObjLoaderTest, RefusedInputsFailWithTheLoaderMessageAndAReason)
{
    std::filesystem::create_directory("folder.obj");
    std::filesystem::create_symlink("/dev/zero", "zero.obj");
    ASSERT_EQ(mkfifo("fifo.obj", 0600), 0);
    for (const auto& [name, reason] : {std::pair{"missing.obj", "No such file or directory"},
             {"folder.obj", "Is a directory"}, {"zero.obj", "Invalid argument"}, {"fifo.obj", "Invalid argument"}})
        EXPECT_EQ(load(name, regexQuote(" (" + std::string(reason) + ")")), std::nullopt) << name;
    const std::string cases[][2] = {
        {triangle + "f 1 2 0\n", "line 4: position index 0 is not a positive number"},
        {triangle + "f 1 -4 3\n", "line 4: position index -4 is not a positive number"},
        {triangle + "f 1/-1 2 3\nvt 0 0\n", "line 4: texture index -1 is not a positive number"},
        {triangle + "f 1 2 x3\n", "line 4: position index x3 is not a positive number"},
        {triangle + "f 1 2 -0\n", "line 4: position index -0 is not a positive number"},
        {triangle + "f 1 2 -99999999999999999999999\n",
         "line 4: position index -99999999999999999999999 is not a positive number"},
        {triangle + "f 1 2 99999999999\n", "line 4: position index 99999999999 is too large"},
        {triangle + "f 1 2 +2147483648\n", "line 4: position index +2147483648 is too large"},
        // 2^32 + 1 and 2^64 + 1 do not wrap to 1 in any list.
        {triangle + "f 1 2 4294967297\n", "line 4: position index 4294967297 is too large"},
        {triangle + "vt 0 0\nf 1/1 2/1 3/18446744073709551617\n",
         "line 5: texture index 18446744073709551617 is too large"},
        {triangle + "vn 0 0 1\nf 1//1 2//1 3//-18446744073709551617\n",
         "line 5: normal index -18446744073709551617 is not a positive number"},
        {triangle + "f 1 2 /3\n", "line 4: vertex word without a position index"},
        {triangle + "f 1 2 //3\n", "line 4: vertex word without a position index"},
        {triangle + "vt 0 0\nf 1/0 2/1 3/1\n", "line 5: texture index 0 is not a positive number"},
        {triangle + "vn 0 0 1\nf 1//-2 2//1 3//1\n", "line 5: normal index -2 is not a positive number"},
        {triangle + "f 1 2 4\n# end\n", "line 4: position index 4 beyond the 3 read"},
        {triangle + "vt 0 0\nf 1/2 2/1 3/1\nf 1/5 2 3\n", "line 6: texture index 5 beyond the 1 read"},
        {"v 0 \\\n0 0\nv 1 0 \\\r\n0\nv 0 1 0\nf 1 2 4\n", "line 6: position index 4 beyond the 3 read"},
        {triangle + "f 1 2\nf 9 2\nf 1 2 3\n", "line 5: position index 9 beyond the 3 read"},
        {"vn 0 0 1\nf 1//1 2//1 3//1\n", "line 2: position index 3 beyond the 0 read"},
        {"v 0 0 0\nv 1 0\nv 0 1 0\nf 1 2 3\n", "line 2: v needs three numbers"},
        {triangle + "vn 0 0\nf 1 2 3\n", "line 4: vn needs three numbers"},
        {triangle + "vt\nf 1 2 3\n", "line 4: vt needs a number"},
        {"v\n", "line 1: v needs three numbers"},
        {"", "no triangle to draw"},
        {triangle + "f 1 2\n", "no triangle to draw"},
    };
    for (const auto& c : cases) {
        writeFile("bad.obj", c[0]);
        EXPECT_EQ(load("bad.obj", regexQuote(" (" + c[1] + ")")), std::nullopt) << c[0];
    }
}

TEST_F(ObjLoaderTest, FuzzedAndDamagedFilesLoadAsTheLiteralReadingOrFailCleanly)
{
    // The committed fuzz inputs as their targets feed them: an OBJ file whose
    // part after a line "#mtl" is fuzz.mtl, or fuzz.mtl under a fixed OBJ file.
    std::vector<std::pair<std::string, std::string>> inputs;  // the OBJ file and fuzz.mtl
    for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR "/fuzz/corpus/obj")) {
        const std::string bytes = readFile(entry.path());
        const std::size_t split = bytes.find("\n#mtl\n");
        inputs.emplace_back(bytes.substr(0, split), split == std::string::npos ? "" : bytes.substr(split + 6));
    }
    for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR "/fuzz/corpus/mtl"))
        inputs.emplace_back(
            "mtllib fuzz.mtl\n" + triangle + "vt 0 0\nvn 0 0 1\nusemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\nf 3 2 1\n",
            readFile(entry.path()));
    // Generated files with random damage (random bytes are left to the fuzzer).
    std::mt19937 random(7);
    const std::string alphabet = std::string("vtnf/ 0123456789.-+e\n\r\t#\\usemtl", 31) + std::string(1, '\0');
    for (int round = 0; round < 200; ++round) {
        generateObj("base/gen.obj", 40, round);
        std::string bytes = readFile("base/gen.obj");
        for (int damage = 1 + random() % 3; damage > 0; --damage) {
            const std::size_t at = random() % bytes.size();
            if (random() % 2 == 0)
                bytes[at] = random() % 2 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
            else
                bytes.erase(at, random() % 8);
        }
        inputs.emplace_back(bytes, "");
    }
    int accepted = 0;
    for (const auto& [obj, mtl] : inputs) {
        writeFile("base/garbage.obj", obj);
        writeFile("base/fuzz.mtl", mtl);
        const std::optional<std::string> mesh = load("base/garbage.obj", "( \\(.*\\))?");
        if (mesh) {
            EXPECT_EQ(*mesh, referenceText("base/garbage.obj")) << obj;
            ++accepted;
        }
    }
    EXPECT_GT(accepted, 20);
}

TEST_F(ObjLoaderTest, LargeGeneratedFileMatchesTheLiteralReadingAndFailsCleanlyOutOfMemory)
{
    generateObj("large/gen.obj", 100000, 1);
    const std::optional<std::string> expected = load("large/gen.obj");
    ASSERT_TRUE(expected.has_value()) << logBody().back();
    // Compared as a whole: a failure message of both texts would be megabytes long.
    EXPECT_TRUE(*expected == referenceText("large/gen.obj"));
    EXPECT_EQ(std::count(expected->begin(), expected->end(), '\''), 2 * 6) << "six sub-meshes";
    // Refuse the first, then the second, ... large allocation until the load
    // no longer meets one.
    for (int allowed = 0;; ++allowed) {
        const std::optional<std::string> mesh = load("large/gen.obj", regexQuote(" (out of memory)"), allowed);
        if (!FailingAllocations::refusedAny()) {
            EXPECT_EQ(mesh, expected);
            EXPECT_GT(allowed, 20);
            break;
        }
        EXPECT_FALSE(mesh.has_value()) << allowed;
    }
    EXPECT_EQ(load("large/gen.obj"), expected);
}
