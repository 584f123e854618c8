#include "ObjGenerator.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

const char* const numberWords[] = {"0",    "-0",      "0.25", "-0.25", "1",     "1e0",    "+1",   "0x1p0",
                                   "0.1",  "1.5;;",   ".5",   "nan",   "-nan",  "inf",    "7",    "3.40282347e+38",
                                   "1e-45", "-1e-50", "2.",   "5e-1",  "0X.8P1", "1,5",   "abc",  "-.75E+0"};

}  // namespace

void generateObj(const std::string& path, int triangles, std::uint32_t seed)
{
    std::mt19937 random(seed);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    // An index of a list of `count` entries, written relative at times.
    auto index = [&](std::size_t i, std::size_t count) {
        return chance(15) && i <= count ? "-" + std::to_string(count - i + 1) : std::to_string(i);
    };
    auto number = [&]() -> std::string {
        if (chance(70))
            return numberWords[pick(sizeof(numberWords) / sizeof(numberWords[0]))];
        return std::to_string(static_cast<int>(pick(2000)) - 1000) + "." + std::to_string(pick(1000));
    };

    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder);
    std::ofstream(folder / "extra.mtl", std::ios::binary) << "Kd 1 1 1\nnewmtl C\nmap_Kd c.png\n";
    std::ofstream mtl(folder / "gen.mtl", std::ios::binary);
    mtl << "newmtl A\nKd 1 0 0\nd 0.5\nKs 0.5 0.5 0.5\nmap_Kd a.png\n"
           "newmtl B\r\nTr 0.25\r\nKa 0.2 0.3 0.4\r\nNs 90\r\n"
           "newmtl A\nKd 0 1 0\n"
           "newmtl D\nKd 0 0 1\n";

    std::ofstream out(path, std::ios::binary);
    out << "# generated\nmtllib gen.mtl\nmtllib extra.mtl gen.mtl\n";
    std::size_t positions = 0, texCoords = 0, normals = 0;
    int made = 0;
    bool forwardDone = false;
    const char* const materialNames[] = {"A", "B", "C", "X"};
    while (made < triangles) {
        const bool late = made > triangles / 10;
        const char* feed = chance(20) ? "\r\n" : "\n";
        const int kind = static_cast<int>(pick(100));
        if (kind < 25 || positions < 3) {
            out << (chance(10) ? "v\t" : "v ") << number() << ' ' << number() << ' ' << number()
                << (chance(5) ? " # 1 2" : "") << feed;
            ++positions;
        } else if (kind < 35 && made > triangles / 20) {
            out << "vt " << number();
            if (chance(80))
                out << ' ' << number();
            out << feed;
            ++texCoords;
        } else if (kind < 45 && late) {
            out << "vn " << number() << ' ' << number() << ' ' << number() << feed;
            ++normals;
        } else if (kind < 47) {
            out << "usemtl " << materialNames[pick(4)] << feed;
        } else if (kind < 49) {
            out << (chance(50) ? "# comment 1 2 3" : chance(50) ? "g part" : "s off") << feed;
        } else {
            const int words = 3 + static_cast<int>(chance(30) ? pick(4) : 0);
            out << 'f';
            for (int w = 0; w < words; ++w) {
                std::size_t p = 1 + pick(positions);
                if (!forwardDone && made > triangles * 7 / 10) {
                    p = positions + 5;  // defined a few lines further down
                    forwardDone = true;
                }
                out << (chance(5) ? "  " : chance(3) ? " \\\r\n " : " ") << index(p, positions);
                const bool withTexCoord = texCoords > 0 && chance(70);
                const bool withNormal = normals > 0 && chance(70);
                if (withTexCoord)
                    out << '/' << index(1 + pick(texCoords), texCoords);
                if (withNormal)
                    out << (withTexCoord ? "/" : "//") << index(1 + pick(normals), normals);
            }
            out << (chance(5) ? " # 1 2 3" : "") << feed;
            made += words - 2;
        }
    }
    for (int i = 0; i < 5; ++i)
        out << "v " << number() << " 0 " << i << '\n';
    out << "usemtl B\nf 1 2 3";  // no final line feed
}
