#include <sys/stat.h>

#include <map>
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
using namespace std::string_literals;

namespace {

// Three positions that make a triangle.
const std::string t = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

// A row of OBJ text, read as "case.obj", its MTL files by name, and for an
// anchor row the record written out by hand.
struct Row {
    const char* name;
    std::string obj;
    std::map<std::string, std::string> mtl = {};
    std::string record = "";
};

// The text of the CException the reading throws, or nothing.
template <class Reading>
std::string refusalOf(Reading reading)
{
    try {
        reading();
    } catch (const DEBUGGING::CException& error) {
        return error.what();
    }
    return "";
}

// The record text of OBJ text read from memory as "case.obj", or the loader's
// message when it refuses it, as the outline reading must refuse it too and
// the plain resolver must read it alike.
std::string load(const std::string& obj, MemoryFiles mtlFiles)
{
    const CObjLoader loader;
    std::string record;
    const std::string refusal = refusalOf([&] {
        const std::unique_ptr<CMeshData> mesh(loader.loadFromMemory(obj.data(), obj.size(), "case.obj", mtlFiles));
        record = recordText(*mesh);
    });
    EXPECT_EQ(refusalOf([&] { loader.readOutline(obj.data(), obj.size(), "case.obj", mtlFiles); }), refusal);
    // The plain resolver, which the benchmark weighs the pipeline against, reads alike.
    std::string plainRecord;
    EXPECT_EQ(refusalOf([&] {
                  const CObjLoader plain(CCornerResolver::Method::plain);
                  plainRecord = recordText(*std::unique_ptr<CMeshData>(
                      plain.loadFromMemory(obj.data(), obj.size(), "case.obj", mtlFiles)));
              }),
              refusal);
    EXPECT_EQ(plainRecord, record);
    return refusal.empty() ? record : refusal;
}

class ObjLoaderTest : public LoggedWorkDir {
protected:
    // The record text of the file loaded through the factory, or the loader's
    // message when it fails, then the one line logged (nothing is logged on
    // success); with `allowed` of 0 or more, allocations of 64 KiB or more fail
    // after that many. The outline reading must refuse what the load refuses.
    std::string loadFile(const std::string& path, int allowed = -1)
    {
        const std::size_t before = logBody().size();
        CFactoryLoader::registerLoader(new CObjLoader());
        std::optional<FailingAllocations> failing;
        if (allowed >= 0)
            failing.emplace(64 << 10, allowed);
        const std::unique_ptr<CMeshData> mesh(static_cast<CMeshData*>(CFactoryLoader::loadFromFile(path)));
        failing.reset();
        CFactoryLoader::getInstance().clear();
        const std::vector<std::string> lines = logBody();
        EXPECT_EQ(lines.size(), before + (mesh ? 0 : 1)) << path;
        const std::string refusal =
            mesh || lines.size() <= before ? "" : lines.back().substr(sizeof("T -> [ ERROR ] ") - 1);
        if (allowed < 0) {
            EXPECT_EQ(refusalOf([&] { CObjLoader().readOutline(path); }), refusal) << "outline of " << path;
        }
        return mesh ? recordText(*mesh) : refusal;
    }
};

}  // namespace

TEST_F(ObjLoaderTest, TextReadsAsTheLiteralReadingAndAnchorRowsAsWritten)
{
    const std::string lists = t + "vt 0.25 0.75\nvt 1 0\nvn 0 0 1\nvn 0 1 0\n";
    const Row rows[] = {
        {"u kept and v negated; a missing v reads as 0", t + "vt 0.5 0.75 9\nvt 0.5\nvt nan -inf\nf 1/1 2/2 3/3\n",
         {}, "20 p3@0 t2@12 . | 0 0 0 0.5 -0.75 1 0 0 0.5 -0 0 1 0 nan7fc00000 inf | 0 1 2 |"},
        {"fans around the first vertex in the file's winding; no triangle from two words; index words as atoi",
         "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 2 0\nf 1 2 3 4 5\nf 5 4\nf +3 002 1abc\nf 1\n", {},
         "12 p3@0 . | 0 0 0 1 0 0 1 1 0 0 1 0 0.5 2 0 | 0 1 2 0 2 3 0 3 4 2 1 0 |"},
        {"vertices shared only when equal bit for bit", "v 0 0 0\nv -0 0 0\nv 0.0 0 0\nv nan 0 0\nv -nan 0 0\n"
         "v NAN 0 0\nvn 0 0 1\nvn 0 1 0\nvn 0 0 1\nf 1 2 3\nf 4 5 6\nf 1//1 1//2 3//3\n", {},
         "24 p3@0 n3@12 . | 0 0 0 0 0 0 -0 0 0 0 0 0 nan7fc00000 0 0 0 0 0 nanffc00000 0 0 0 0 0 0 0 0 0 0 1 "
         "0 0 0 0 1 0 | 0 1 0 2 3 2 4 5 4 |"},
        {"grouped in the order of the materials; a nameless usemtl adds nothing; equal names each collect",
         "mtllib a.mtl\n" + t + "usemtl B\nf 2 3 1\nusemtl A\nf 3 1 2\nusemtl\nusemtl B\nf 1 3 2\n",
         {{"a.mtl", "newmtl A\nnewmtl B\nnewmtl C\nnewmtl A\nKd 0 0 1\n"}},
         "12 p3@0 . | 1 0 0 0 1 0 0 0 0 | 1 2 0 0 1 2 2 1 0 1 2 0 | 'A' 0+1 * 'B' 3+2 * 'C' 9+0 * 'A' 9+1  Kd 0 0 1 1"},
        {"d and Tr set the alpha of later colours; map_Kd takes its first word; other lines set nothing",
         "mtllib a.mtl\n" + t + "usemtl red\nf 1 2 3\nusemtl glass\nf 1 2 3\nusemtl plain\nf 1 2 3\n"
         "usemtl tinted\nf 1 2 3\n",
         {{"a.mtl", "\xEF\xBB\xBFKd 0 1 0\nNs 5\nnewmtl\nnewmtl red\r\nKd 1 0 0\r\nd 0.5\r\nKs 1 1 1\r\n"
                    "newmtl glass\nd 0.3\nKa 0.2 0.2 0.2\nKd 0.5 0.5\nd\nNs 250\nmap_Kd\nmap_Kd wood.png -bm 1\n"
                    "newmtl plain\nKs 0.5 0.5 0.5\nkd 1 1 1\nKe 1 1 1\nmap_Kd\nnewmtl tinted\nTr 0.25 0.9\n"
                    "Kd 1 1 1 7\nillum 2\n"}},
         "12 p3@0 . | 0 0 0 1 0 0 0 1 0 | 0 1 2 0 1 2 0 1 2 0 1 2 | 'red' 0+1  Kd 1 0 0 1 Ks 1 1 1 0.5 'glass' 3+1 "
         "wood.png Ka 0.2 0.2 0.2 0.3 Ns 250 'plain' 6+1  Ks 0.5 0.5 0.5 1 'tinted' 9+1  Kd 1 1 1 0.25"},
        {"lists no face refers to shape the layout", lists + "f 1 2 3\n"},
        {"corners take their own word forms", lists + "f 1/2 2//2 3/1/1\n"},
        {"later lines define what earlier faces use",
         "f 1/1 2/2 3/1\nv 0 0 0\nv 1 0 0\nf 1 2 3//1\nvt 0.5 0.5\nv 0 1 0\nvt 1 1\nvn 0 0 1\nf 3/2/1 2 1\n"},
        {"an MTL file without usemtl lines", "mtllib a.mtl\n" + t + "f 1 2 3\n", {{"a.mtl", "newmtl A\nnewmtl B\n"}}},
        {"usemtl lines without an MTL file", "mtllib none.mtl\n" + t + "f 1 2 3\nusemtl A\nf 3 2 1\n"},
        {"faces before the first usemtl and under a lost name: a last sub-mesh, default material",
         "mtllib a.mtl\no Cube\n" + t + "f 1 2 3\nusemtl A\nf 3 2 1\nusemtl Lost\nf 2 3 1\n",
         {{"a.mtl", "newmtl A\nKd 1 0 0\nmap_Kd a.png\n"}}},
        {"faces only under a name no material bears", "mtllib a.mtl\n" + t + "usemtl Lost\nf 1 2 3\n",
         {{"a.mtl", "newmtl A\n"}}},
        {"relative indices count back from the lines read before the face",
         t + "vt 0.5 1\nf -3/-1 -2/-1 -1/-1\nv 1 1 0\nf -3/1 -1/-1 -2/1\n"},
        {"every mtllib word, each file once under any name; lines before a file's first newmtl change nothing",
         "mtllib a.mtl\nmtllib b.mtl ./a.mtl a.mtl\n" + t + "usemtl B\nf 1 2 3\nusemtl A\nf 3 2 1\n",
         {{"a.mtl", "newmtl A\n"}, {"b.mtl", "Kd 0 1 0\nnewmtl B\nmap_Kd b.png\n"}}},
        {"trailing comments, and lines continued after a backslash",
         "v 0 0 0 # origin\nv 1 0 0\nv 0 1 \\\r\n 0\nvt 0.25 # 0.5\nf 1/1 \\\n2/1 \\\r\n3/1 # 4/1\n"},
        {"indices into lists the file has no line of are ignored", t + "f 1/1/1 2/2/2 3/3/3 \\"},
        {"a byte order mark, CRLF and any blanks; a lone carriage return ends no line",
         "\xEF\xBB\xBFmtllib\ta.mtl\n \fv 0 0 0\rv 5 5 5\nv\v1 0 0\nv 0 1 0 \r\n\t\nv 1 1 0\nusemtl red  \n"
         "f\t1 2\f3 4\r\r\n",
         {{"a.mtl", "newmtl red\nKd 1 0 0\n"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryFiles mtlFiles(row.mtl);
        const std::string literal = referenceText(row.obj, "case.obj", mtlFiles);
        EXPECT_EQ(load(row.obj, mtlFiles), literal);
        EXPECT_EQ(row.record.empty() ? literal : row.record, literal) << "written by hand";
    }
}

TEST_F(ObjLoaderTest, RefusedTextFailsWithTheLoaderMessageAndAReason)
{
    const std::string rows[][3] = {
        {"zero", t + "f 1 2 0\n", "line 4: position index 0 is not a positive number"},
        {"relative, before the first line", t + "f 1 -4 3\n", "line 4: position index -4 is not a positive number"},
        {"relative, empty list", t + "f 1/-1 2 3\nvt 0 0\n", "line 4: texture index -1 is not a positive number"},
        {"no number", t + "f 1 2 x3\n", "line 4: position index x3 is not a positive number"},
        {"minus zero", t + "f 1 2 -0\n", "line 4: position index -0 is not a positive number"},
        {"below 64 bits", t + "f 1 2 -99999999999999999999999\n",
         "line 4: position index -99999999999999999999999 is not a positive number"},
        {"beyond int", t + "f 1 2 99999999999\n", "line 4: position index 99999999999 is too large"},
        {"signed, beyond int", t + "f 1 2 +2147483648\n", "line 4: position index +2147483648 is too large"},
        {"2^32 + 1 is not 1", t + "f 1 2 4294967297\n", "line 4: position index 4294967297 is too large"},
        {"2^64 + 1 is not 1", t + "vt 0 0\nf 1/1 2/1 3/18446744073709551617\n",
         "line 5: texture index 18446744073709551617 is too large"},
        {"-(2^64 + 1) is not -1", t + "vn 0 0 1\nf 1//1 2//1 3//-18446744073709551617\n",
         "line 5: normal index -18446744073709551617 is not a positive number"},
        {"no position", t + "f 1 2 /3\n", "line 4: vertex word without a position index"},
        {"a normal only", t + "f 1 2 //3\n", "line 4: vertex word without a position index"},
        {"zero texture", t + "vt 0 0\nf 1/0 2/1 3/1\n", "line 5: texture index 0 is not a positive number"},
        {"relative normal, before the first", t + "vn 0 0 1\nf 1//-2 2//1 3//1\n",
         "line 5: normal index -2 is not a positive number"},
        {"beyond the lines read", t + "f 1 2 4\n# end\n", "line 4: position index 4 beyond the 3 read"},
        {"the largest, at its line", t + "vt 0 0\nf 1/2 2/1 3/1\nf 1/5 2 3\n",
         "line 6: texture index 5 beyond the 1 read"},
        {"continued lines counted", "v 0 \\\n0 0\nv 1 0 \\\r\n0\nv 0 1 0\nf 1 2 4\n",
         "line 6: position index 4 beyond the 3 read"},
        {"a face of two words", t + "f 1 2\nf 9 2\nf 1 2 3\n", "line 5: position index 9 beyond the 3 read"},
        {"faces without v lines", "vn 0 0 1\nf 1//1 2//1 3//1\n", "line 2: position index 3 beyond the 0 read"},
        {"a short v line", "v 0 0 0\nv 1 0\nv 0 1 0\nf 1 2 3\n", "line 2: v needs three numbers"},
        {"a short vn line", t + "vn 0 0\nf 1 2 3\n", "line 4: vn needs three numbers"},
        {"a vt line without a number", t + "vt\nf 1 2 3\n", "line 4: vt needs a number"},
        {"shorter than a byte order mark", "v\n", "line 1: v needs three numbers"},
        {"empty", "", "no triangle to draw"},
        {"faces without a triangle", t + "f 1 2\n", "no triangle to draw"},
    };
    for (const auto& [name, obj, reason] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(load(obj, MemoryFiles()), CObjLoader::failureMessage("case.obj", reason));
    }
}

TEST_F(ObjLoaderTest, FuzzedAndDamagedTextLoadsAsTheLiteralReadingOrFailsCleanly)
{
    int accepted = 0;
    const auto check = [&](const Row& row) {
        SCOPED_TRACE(row.name + (":\n" + row.obj));
        MemoryFiles mtlFiles(row.mtl);
        const std::string result = load(row.obj, mtlFiles);
        if (result.rfind(CObjLoader::failureMessage("case.obj", ""), 0) == 0)
            return;
        EXPECT_EQ(result, referenceText(row.obj, "case.obj", mtlFiles));
        ++accepted;
    };
    // The committed fuzz inputs as their targets feed them: OBJ text whose
    // part after a line "#mtl" is fuzz.mtl, or fuzz.mtl under a fixed OBJ text.
    for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR "/fuzz/corpus/obj")) {
        const std::string bytes = readFile(entry.path());
        const std::size_t split = bytes.find("\n#mtl\n");
        const std::string mtl = split == std::string::npos ? "" : bytes.substr(split + 6);
        check({"obj seed", bytes.substr(0, split), {{"fuzz.mtl", mtl}}});
    }
    for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR "/fuzz/corpus/mtl"))
        check({"mtl seed", "mtllib fuzz.mtl\n" + t + "vt 0 0\nvn 0 0 1\nusemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\n"
               "f 3 2 1\n", {{"fuzz.mtl", readFile(entry.path())}}});
    // Generated text with random damage (random bytes are left to the fuzzer).
    std::mt19937 random(7);
    const std::string alphabet = std::string("vtnf/ 0123456789.-+e\n\r\t#\\usemtl", 31) + std::string(1, '\0');
    for (int round = 0; round < 200; ++round) {
        Row row{"damaged", "", generateObj(40, round)};
        row.obj = row.mtl["gen.obj"];
        for (int damage = 1 + random() % 3; damage > 0; --damage) {
            const std::size_t at = random() % row.obj.size();
            if (random() % 2 == 0)
                row.obj[at] = random() % 2 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
            else
                row.obj.erase(at, random() % 8);
        }
        check(row);
    }
    EXPECT_GT(accepted, 20);
}

TEST_F(ObjLoaderTest, FilesOnDiskLoadThroughTheFactoryAsTheirBytes)
{
    std::filesystem::create_directory("folder.obj");
    std::filesystem::create_symlink("/dev/zero", "zero.obj");
    ASSERT_EQ(mkfifo("fifo.obj", 0600), 0);
    writeFile("short.obj", "v\n");
    for (const auto& [name, reason] : {std::pair{"missing.obj", "No such file or directory"},
             {"folder.obj", "Is a directory"}, {"zero.obj", "Invalid argument"}, {"fifo.obj", "Invalid argument"},
             {"short.obj", "line 1: v needs three numbers"}})
        EXPECT_EQ(loadFile(name), CObjLoader::failureMessage(name, reason)) << name;

    // Lines of megabytes (longer than a read block) in both files, and NUL
    // bytes, which end numbers but stay in names.
    const std::string longName = std::string(1 << 20, 'n') + "\0b"s;
    writeFile("a.mtl", "newmtl " + longName + "\nmap_Kd " + longName + "\nnewmtl A\nKd 0 1 0\n");
    writeFile("b.mtl", "newmtl B\nmap_Kd b.png\n");
    std::filesystem::create_directory("folder.mtl");
    const Row rows[] = {
        {"a byte order mark, lines longer than a read block, NUL bytes",
         "\xEF\xBB\xBF# " + std::string(3 << 20, 'x') + "\nmtllib a.mtl\r\nv 1" + std::string(2 << 20, '1') +
             " 0\0 0\nv 1 0 0\nv 0 1 0\nusemtl "s + longName + "\nf 1 2 3\n"},
        {"each MTL file once under any name; a folder or a missing file is none",
         "mtllib a.mtl\nmtllib b.mtl ./a.mtl a.mtl folder.mtl none.mtl\n" + t + "usemtl B\nf 1 2 3\n"},
        {"a line continued across the end of the first read block, 1 MiB long",
         "# " + std::string((1 << 20) - 12, 'x') + "\nv 1 2 \\\n3\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeFile("case.obj", row.obj);
        EXPECT_EQ(loadFile("case.obj"), referenceText("case.obj"));
    }
}

TEST_F(ObjLoaderTest, LargeGeneratedFileMatchesTheLiteralReadingAndFailsCleanlyOutOfMemory)
{
    for (const auto& [name, bytes] : generateObj(100000, 1))
        writeFile("large/" + name, bytes);
    const std::string expected = loadFile("large/gen.obj");
    // Compared as a whole: a failure message of both texts would be megabytes long.
    EXPECT_TRUE(expected == referenceText("large/gen.obj")) << expected.substr(0, 200);
    // Refuse the first, then the second, ... large allocation until the load
    // no longer meets one.
    for (int allowed = 0;; ++allowed) {
        const std::string result = loadFile("large/gen.obj", allowed);
        if (!FailingAllocations::refusedAny()) {
            EXPECT_GT(allowed, 0) << "no allocation was refused";
            EXPECT_TRUE(result == expected);
            break;
        }
        EXPECT_EQ(result, CObjLoader::failureMessage("large/gen.obj", "out of memory")) << allowed;
    }
}
