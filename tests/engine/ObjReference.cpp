#include "ObjReference.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "engine/loaders/CNamedMaterial.h"
#include "engine/loaders/StringUtils.h"

using VESK::splitWords;

namespace {

// A usemtl line: the material name and the corner count before it.
using Mark = std::pair<std::string, std::size_t>;

float number(const std::vector<std::string>& words, std::size_t i)
{
    return i < words.size() ? static_cast<float>(std::atof(words[i].c_str())) : 0.0f;
}

// Opens a file past its UTF-8 byte order mark, if it has one.
std::ifstream openText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    char mark[3] = {};
    if (!in.read(mark, 3) || std::string(mark, 3) != "\xEF\xBB\xBF") {
        in.clear();
        in.seekg(0);
    }
    return in;
}

// Appends the materials of one MTL file unless it is one already read (under
// any name).
void readReferenceMaterials(std::string path, std::vector<std::filesystem::path>& read,
                            std::vector<VESK::CNamedMaterial>& materials)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    std::error_code error;
    if (std::any_of(read.begin(), read.end(),
                    [&](const auto& earlier) { return std::filesystem::equivalent(earlier, path, error); }))
        return;
    read.push_back(path);
    std::ifstream in = openText(path);
    const std::size_t before = materials.size();
    float alpha = 1.0f;
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> w = splitWords(line);
        if (w.size() >= 2 && w[0] == "newmtl") {
            materials.emplace_back();
            materials.back().name = w[1];
            alpha = 1.0f;
        }
        if (materials.size() == before || w.size() < 2)
            continue;
        VESK::CNamedMaterial& m = materials.back();
        if (w[0] == "d" || w[0] == "Tr")
            alpha = number(w, 1);
        if (w[0] == "Ns")
            m.material.shininess = number(w, 1);
        if (w[0] == "map_Kd")
            m.textureName = w[1];
        CMyVector<float, 4>* colour = w[0] == "Ka" ? &m.material.ambient
                                      : w[0] == "Kd" ? &m.material.diffuse
                                      : w[0] == "Ks" ? &m.material.specular
                                                     : nullptr;
        if (colour != nullptr && w.size() >= 4)
            *colour = CMyVector<float, 4>(number(w, 1), number(w, 2), number(w, 3), alpha);
    }
}

// The words of the next line of the OBJ file, lines ending in a backslash
// joined with the next; on v, vt, vn and f lines the words from one starting
// with # on are left out.
bool nextWords(std::istream& in, std::vector<std::string>& words)
{
    std::string line;
    if (!std::getline(in, line))
        return false;
    for (std::string more;; line += more) {
        const std::size_t last = line.size() - (!line.empty() && line.back() == '\r' ? 1 : 0);
        if (last == 0 || line[last - 1] != '\\')
            break;
        line.replace(last - 1, std::string::npos, " ");
        if (!std::getline(in, more))
            break;
    }
    words = splitWords(line);
    if (!words.empty() && (words[0] == "v" || words[0] == "vt" || words[0] == "vn" || words[0] == "f"))
        words.erase(std::find_if(words.begin(), words.end(), [](const std::string& w) { return w[0] == '#'; }),
                    words.end());
    return true;
}

// The index a face component names: relative ones count back from the end of
// a list of `count` entries; 0 when the component is empty.
int faceIndex(const std::string& component, std::size_t count)
{
    const int index = component.empty() ? 0 : std::atoi(component.c_str());
    return index < 0 ? static_cast<int>(count) + 1 + index : index;
}

}  // namespace

MeshSnapshot referenceLoad(const std::string& path)
{
    const std::string folder = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::vector<std::string> mtlNames;
    std::vector<float> positions, normals, texCoords;
    std::vector<std::array<int, 3>> corners;  // position, texture and normal index of each triangle corner
    std::vector<Mark> marks;

    std::ifstream in = openText(path);
    for (std::vector<std::string> w; nextWords(in, w);) {
        if (w.empty())
            continue;
        if (w[0] == "mtllib")
            mtlNames.insert(mtlNames.end(), w.begin() + 1, w.end());
        if (w[0] == "v")
            positions.insert(positions.end(), {number(w, 1), number(w, 2), number(w, 3)});
        if (w[0] == "vn")
            normals.insert(normals.end(), {number(w, 1), number(w, 2), number(w, 3)});
        if (w[0] == "vt")
            texCoords.insert(texCoords.end(), {number(w, 1), -number(w, 2)});
        if (w[0] == "usemtl" && w.size() >= 2)
            marks.push_back(Mark{w[1], corners.size()});
        if (w[0] != "f")
            continue;
        std::vector<std::array<int, 3>> face;
        for (std::size_t i = 1; i < w.size(); ++i) {
            std::istringstream word(w[i]);
            std::string c[3];
            for (int k = 0; k < 3 && std::getline(word, c[k], '/'); ++k) {
            }
            face.push_back({faceIndex(c[0], positions.size() / 3), faceIndex(c[1], texCoords.size() / 2),
                            faceIndex(c[2], normals.size() / 3)});
        }
        for (std::size_t k = 0; k + 3 <= face.size(); ++k)
            corners.insert(corners.end(), {face[0], face[k + 1], face[k + 2]});
    }

    MeshSnapshot mesh;
    const bool hasNormals = !normals.empty(), hasTexCoords = !texCoords.empty();
    const std::size_t floatsPerVertex = 3 + (hasNormals ? 3 : 0) + (hasTexCoords ? 2 : 0);
    std::map<std::vector<std::uint32_t>, std::uint32_t> numbers;
    std::vector<std::uint32_t> indexData;
    for (const std::array<int, 3>& corner : corners) {
        std::vector<float> vertex(floatsPerVertex, 0.0f);
        auto copy = [&](const std::vector<float>& list, int index, std::size_t size, std::size_t slot) {
            for (std::size_t i = 0; index != 0 && i < size; ++i)
                vertex[slot + i] = list[size * (index - 1) + i];
        };
        copy(positions, corner[0], 3, 0);
        if (hasNormals)
            copy(normals, corner[2], 3, 3);
        if (hasTexCoords)
            copy(texCoords, corner[1], 2, hasNormals ? 6 : 3);
        std::vector<std::uint32_t> bits(floatsPerVertex);
        std::memcpy(bits.data(), vertex.data(), 4 * floatsPerVertex);
        const auto found = numbers.emplace(bits, static_cast<std::uint32_t>(numbers.size()));
        if (found.second)
            mesh.vertexBits.insert(mesh.vertexBits.end(), found.first->first.begin(), found.first->first.end());
        indexData.push_back(found.first->second);
    }

    std::vector<VESK::CNamedMaterial> materials;
    std::vector<std::filesystem::path> mtlFilesRead;
    for (const std::string& name : mtlNames)
        readReferenceMaterials(folder + name, mtlFilesRead, materials);
    if (!materials.empty()) {
        // Each material collects the triangles under its name, in the order of
        // the marks; the triangles before the first usemtl or under a name no
        // material bears form a last, unnamed group when there are any.
        marks.insert(marks.begin(), Mark{"", 0});
        auto claimed = [&](const std::string& name) {
            return std::any_of(materials.begin(), materials.end(),
                               [&](const VESK::CNamedMaterial& m) { return m.name == name; });
        };
        std::vector<std::uint32_t> regrouped;
        for (std::size_t g = 0; g <= materials.size(); ++g) {
            const std::size_t first = regrouped.size();
            for (std::size_t k = 0; k < marks.size(); ++k) {
                if (g < materials.size() ? marks[k].first != materials[g].name : claimed(marks[k].first))
                    continue;
                const std::size_t end = k + 1 < marks.size() ? marks[k + 1].second : indexData.size();
                regrouped.insert(regrouped.end(), indexData.begin() + marks[k].second, indexData.begin() + end);
            }
            if (g == materials.size() && regrouped.size() == first)
                break;
            const VESK::CNamedMaterial m = g < materials.size() ? materials[g] : VESK::CNamedMaterial();
            mesh.subMeshes.push_back(MeshSnapshot::SubMesh{m.name, m.textureName, static_cast<std::uint32_t>(first),
                                                           static_cast<std::uint32_t>((regrouped.size() - first) / 3),
                                                           materialBits(m.material)});
        }
        indexData = regrouped;
    }

    mesh.vertexStride = static_cast<std::uint32_t>(4 * floatsPerVertex);
    mesh.indexSize = 4;
    mesh.vertexCount = static_cast<std::uint32_t>(numbers.size());
    mesh.elements = {0, 3, 1, 0};
    if (hasNormals)
        mesh.elements.insert(mesh.elements.end(), {12, 3, 2, 0});
    if (hasTexCoords)
        mesh.elements.insert(mesh.elements.end(), {hasNormals ? 24 : 12, 2, 4, 0});
    mesh.elements.insert(mesh.elements.end(), {0, 0, 0, 0});
    mesh.indices = indexData;
    return mesh;
}
