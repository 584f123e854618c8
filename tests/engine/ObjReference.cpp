#include "ObjReference.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "RecordText.h"
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

// The bytes of a file after its UTF-8 byte order mark, if it has one.
std::string textOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str().rfind("\xEF\xBB\xBF", 0) == 0 ? text.str().substr(3) : text.str();
}

// Appends the materials of one MTL file unless it is one already read (under
// any name).
void readMaterials(std::string path, std::vector<std::filesystem::path>& read,
                   std::vector<VESK::CNamedMaterial>& materials)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    std::error_code error;
    for (const std::filesystem::path& earlier : read)
        if (std::filesystem::equivalent(earlier, path, error))
            return;
    read.push_back(path);
    std::istringstream in(textOf(path));
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
        VESK::CMaterial& m = materials.back().material;
        if (w[0] == "d" || w[0] == "Tr")
            alpha = number(w, 1);
        if (w[0] == "Ns")
            m.shininess = number(w, 1);
        if (w[0] == "map_Kd")
            materials.back().textureName = w[1];
        for (auto [key, colour] : {std::pair{"Ka", &m.ambient}, {"Kd", &m.diffuse}, {"Ks", &m.specular}})
            if (w[0] == key && w.size() >= 4)
                *colour = CMyVector<float, 4>(number(w, 1), number(w, 2), number(w, 3), alpha);
    }
}

}  // namespace

std::string referenceText(const std::string& path)
{
    // A backslash that ends a line (before LF or CR LF, or at the end) joins
    // it to the next as a blank.
    const std::string bytes = textOf(path);
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t end = i + 1 < bytes.size() && bytes[i + 1] == '\r' ? i + 2 : i + 1;
        if (bytes[i] == '\\' && (end == bytes.size() || bytes[end] == '\n')) {
            text += ' ';
            i = end;
        } else {
            text += bytes[i];
        }
    }

    std::vector<std::string> mtlNames;
    std::vector<float> positions, normals, texCoords;
    std::vector<std::array<int, 3>> corners;  // position, texture and normal index of each triangle corner
    std::vector<Mark> marks;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> w = splitWords(line);
        if (w.empty())
            continue;
        // On v, vt, vn and f lines the words from one starting with # on are left out.
        if (w[0] == "v" || w[0] == "vt" || w[0] == "vn" || w[0] == "f")
            w.erase(std::find_if(w.begin(), w.end(), [](const std::string& word) { return word[0] == '#'; }), w.end());
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
        // Each index as atoi reads it, 0 when absent; a negative one counts
        // back from the end of its list.
        const std::size_t sizes[3] = {positions.size() / 3, texCoords.size() / 2, normals.size() / 3};
        std::vector<std::array<int, 3>> face(w.size() - 1, {0, 0, 0});
        for (std::size_t i = 1; i < w.size(); ++i) {
            const char* part = w[i].c_str();
            for (int k = 0; k < 3 && part != nullptr; ++k) {
                const int index = std::atoi(part);
                face[i - 1][k] = index < 0 ? static_cast<int>(sizes[k]) + 1 + index : index;
                part = std::strchr(part, '/');
                part = part != nullptr ? part + 1 : nullptr;
            }
        }
        for (std::size_t k = 0; k + 3 <= face.size(); ++k)
            corners.insert(corners.end(), {face[0], face[k + 1], face[k + 2]});
    }

    const bool hasNormals = !normals.empty(), hasTexCoords = !texCoords.empty();
    const std::size_t floatsPerVertex = 3 + (hasNormals ? 3 : 0) + (hasTexCoords ? 2 : 0);
    std::map<std::string, std::uint32_t> numbers;  // a vertex's bytes and its number
    std::vector<float> vertices;
    std::vector<std::uint32_t> indices;
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
        const auto found = numbers.emplace(std::string(reinterpret_cast<const char*>(vertex.data()), 4 * floatsPerVertex),
                                           static_cast<std::uint32_t>(numbers.size()));
        if (found.second)
            vertices.insert(vertices.end(), vertex.begin(), vertex.end());
        indices.push_back(found.first->second);
    }

    std::vector<VESK::CNamedMaterial> materials;
    std::vector<std::filesystem::path> mtlFilesRead;
    for (const std::string& name : mtlNames)
        readMaterials(path.substr(0, path.rfind('/') + 1) + name, mtlFilesRead, materials);
    std::vector<VESK::CSubMesh> subMeshes;
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
                const std::size_t end = k + 1 < marks.size() ? marks[k + 1].second : indices.size();
                regrouped.insert(regrouped.end(), indices.begin() + marks[k].second, indices.begin() + end);
            }
            if (g == materials.size() && regrouped.size() == first)
                break;
            const VESK::CNamedMaterial m = g < materials.size() ? materials[g] : VESK::CNamedMaterial();
            subMeshes.push_back(VESK::CSubMesh{m.name, m.material, m.textureName, static_cast<std::uint32_t>(first),
                                               static_cast<std::uint32_t>((regrouped.size() - first) / 3)});
        }
        indices = regrouped;
    }

    std::vector<VESK::CVertexElement> layout = {{0, 3, 1, 0}};
    if (hasNormals)
        layout.push_back({12, 3, 2, 0});
    if (hasTexCoords)
        layout.push_back({hasNormals ? 24 : 12, 2, 4, 0});
    layout.push_back({0, 0, 0, 0});
    return recordText(static_cast<std::uint32_t>(4 * floatsPerVertex), layout, vertices, indices, subMeshes);
}
