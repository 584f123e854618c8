#include "ObjGenerator.h"

#include <random>
#include <sstream>

namespace {

// Words atof reads in every way it can: signs, exponents, hexadecimal,
// infinities, NaNs with payloads, overflow, subnormals, ties, and prefixes
// followed by junk.
const char* const numberWords[] = {
    "0", "-0", "+0", "1", "-1", "+1.5", ".5", "-.5", "5.", "1e10", "1E-10", "1e", "1e+", "1.5e+x", "0x1p3",
    "-0x1.8p1", "0X.8P1", "0x", "0xg", "inf", "-INF", "infinity", "infin", "nan", "-nan", "nan(123)",
    "nan(0x7ffff)", "NaN(", "1e400", "-1e400", "1e-400", "1.4e-45", "7e-46", "3.4028235e38", "3.4028236e38",
    "1.00000005960464477539", "0.1", "123456789012345678901234567890", "1,5", "1.5;;", ";;", "-", "+", ".", "-.",
    "e5", "00x1", "0.000000000000000000000000000000000000000000001", "abc"};

}  // namespace

std::map<std::string, std::string> generateObj(int triangles, std::uint32_t seed)
{
    std::mt19937 random(seed);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    // An index of a list of `count` entries, written relative at times.
    auto index = [&](std::size_t i, std::size_t count) {
        return chance(15) && i <= count ? "-" + std::to_string(count - i + 1)
                                        : (chance(3) ? "+" : chance(3) ? "00" : "") + std::to_string(i);
    };
    // A few values often, so that equal vertices stand under different
    // indices; else a listed word, a random one, or a plain decimal around
    // the limits of exact double arithmetic (up to 11 digits before the
    // point and 25 after it).
    auto number = [&]() -> std::string {
        const std::size_t kind = pick(4);
        if (kind < 2)
            return numberWords[pick(kind == 0 ? 4 : sizeof(numberWords) / sizeof(numberWords[0]))];
        const std::string alphabet = "0123456789.-+eExXpPinfaNIF(";
        std::string word = kind == 2 ? std::string(1, alphabet[pick(alphabet.size())]) : chance(50) ? "-" : "";
        for (std::size_t i = kind == 2 ? pick(24) : pick(12); i > 0; --i)
            word += alphabet[pick(kind == 2 ? 13 : 10)];
        if (kind == 3)
            word += '.';
        for (std::size_t i = kind == 3 ? pick(26) : 0; i > 0; --i)
            word += alphabet[pick(10)];
        return word;
    };

    std::map<std::string, std::string> files;
    files["extra.mtl"] = "Kd 1 1 1\nnewmtl C\nmap_Kd c.png\n";
    files["gen.mtl"] = "newmtl A\nKd 1 0 0\nd 0.5\nKs 0.5 0.5 0.5\nmap_Kd tex\\a.png\n"
                       "newmtl B\r\nTr 0.25\r\nKa 0.2 0.3 0.4\r\nNs 90\r\n"
                       "newmtl A\nKd 0 1 0\n"
                       "newmtl D\nKd 0 0 1\n";

    std::ostringstream out;
    out << "# generated\nmtllib gen.mtl\nmtllib\nmtllib .\\extra.mtl gen.mtl none.mtl\n";
    std::size_t positions = 0, texCoords = 0, normals = 0;
    int made = 0;
    bool forwardDone = false;
    while (made < triangles) {
        const char* feed = chance(20) ? "\r\n" : "\n";
        const int kind = static_cast<int>(pick(100));
        if (kind < 25 || positions < 3) {
            out << (chance(10) ? "v\t" : "v ") << number() << ' ' << number() << ' ' << number()
                << (chance(5) ? " # 1 2" : "") << feed;
            ++positions;
        } else if (kind < 35 && made > triangles / 20) {
            out << "vt " << number() << (chance(80) ? " " + number() : "") << feed;
            ++texCoords;
        } else if (kind < 45 && made > triangles / 10) {
            out << "vn " << number() << ' ' << number() << ' ' << number() << feed;
            ++normals;
        } else if (kind < 47) {
            out << "usemtl " << "ABCX"[pick(4)] << feed;
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
    files["gen.obj"] = out.str();
    return files;
}
