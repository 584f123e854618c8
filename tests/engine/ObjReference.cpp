#include "ObjReference.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "engine/loaders/CNamedMaterial.h"
#include "engine/loaders/StringUtils.h"

using VESK::splitWords;

namespace {

float number(const std::vector<std::string>& words, std::size_t i)
{
    return i < words.size() ? static_cast<float>(std::atof(words[i].c_str())) : 0.0f;
}

// The bytes after a UTF-8 byte order mark, if they start with one.
std::string withoutMark(const std::string& bytes)
{
    return bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
}

std::string bytesOf(const std::string& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// Regular files on disk, a file known by its canonical path.
class DiskFiles : public VESK::VMtlFiles {
public:
    bool read(const std::string& path, std::string& bytes, std::string& identity) override
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return false;
        bytes = bytesOf(path);
        identity = std::filesystem::canonical(path).string();
        return true;
    }
};

// Appends the materials of one MTL file unless it is one already read (under
// any name).
void readMaterials(std::string path, VESK::VMtlFiles& mtlFiles, std::set<std::string>& read,
                   std::vector<VESK::CNamedMaterial>& materials)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string bytes, identity;
    if (!mtlFiles.read(path, bytes, identity) || !read.insert(identity).second)
        return;
    std::istringstream in(withoutMark(bytes));
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

// The record text of a mesh given by its parts.
std::string recordText(std::uint32_t stride, const std::vector<VESK::CVertexElement>& layout,
                       const std::vector<float>& vertices, const std::vector<std::uint32_t>& indices,
                       const std::vector<VESK::CSubMesh>& subMeshes)
{
    const auto shortest = [](float value) {
        char word[32] = " ";
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        if (std::isnan(value))
            return std::string(word, 1 + std::snprintf(word + 1, sizeof word - 1, "nan%x", bits));
        return std::string(word, std::to_chars(word + 1, word + sizeof word, value).ptr);
    };
    const auto four = [&](const CMyVector<float, 4>& v) {
        return shortest(v[0]) + shortest(v[1]) + shortest(v[2]) + shortest(v[3]);
    };
    std::string text = std::to_string(stride);
    for (const VESK::CVertexElement& e : layout)
        text += e.isEndMarker() ? std::string(" .")
                                : std::string(" ") + "?pnct?"[std::min<std::uint32_t>(e.usage, 5)] +
                                      std::to_string(e.type) + '@' + std::to_string(e.offset) +
                                      (e.unit != 0 ? ":" + std::to_string(e.unit) : "");
    text += " |";
    for (const float value : vertices)
        text += shortest(value);
    text += " |";
    for (const std::uint32_t index : indices)
        text += ' ' + std::to_string(index);
    text += " |";
    using VESK::CMaterial;
    const CMaterial standard;
    for (const VESK::CSubMesh& sub : subMeshes) {
        std::string values;
        for (const auto& [key, colour] : {std::pair{" Ka", &CMaterial::ambient}, {" Kd", &CMaterial::diffuse},
                                          {" Ks", &CMaterial::specular}, {" Ke", &CMaterial::emission}})
            values += four(sub.material.*colour) == four(standard.*colour) ? "" : key + four(sub.material.*colour);
        if (shortest(sub.material.shininess) != shortest(standard.shininess))
            values += " Ns" + shortest(sub.material.shininess);
        text += " '" + sub.name + "' " + std::to_string(sub.firstIndex) + '+' + std::to_string(sub.triangleCount) +
                ' ' + sub.textureName + (values.empty() ? "*" : values);
    }
    return text;
}

}  // namespace

std::string recordText(const VESK::CMeshData& mesh)
{
    return recordText(mesh.vertexStride, {mesh.elements, mesh.elements + mesh.elementCount},
                      {mesh.vertices, mesh.vertices + std::size_t(mesh.vertexCount) * mesh.vertexStride / 4},
                      {mesh.indices, mesh.indices + mesh.indexCount}, mesh.subMeshes);
}

bool MemoryFiles::read(const std::string& path, std::string& bytes, std::string& identity)
{
    const std::string name = std::filesystem::path(path).lexically_normal().string();
    const auto found = files.find(name);
    if (found == files.end())
        return false;
    bytes = found->second;
    identity = name;
    return true;
}

std::string referenceText(const std::string& path)
{
    DiskFiles mtlFiles;
    return referenceText(bytesOf(path), path, mtlFiles);
}

std::string referenceText(const std::string& obj, const std::string& path, VESK::VMtlFiles& mtlFiles)
{
    // A backslash that ends a line (before LF or CR LF, or at the end) joins
    // it to the next as a blank.
    const std::string bytes = withoutMark(obj);
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
    std::vector<float> lists[3];  // positions, texture coordinates, normals
    const std::size_t widths[3] = {3, 2, 3};
    std::vector<std::array<int, 3>> corners;  // an index into each list for each triangle corner
    std::vector<std::string> triangleMaterial;  // the last usemtl name before each triangle
    std::string material;
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
        if (w[0] == "v" || w[0] == "vn") {
            std::vector<float>& list = lists[w[0] == "v" ? 0 : 2];
            list.insert(list.end(), {number(w, 1), number(w, 2), number(w, 3)});
        }
        if (w[0] == "vt")
            lists[1].insert(lists[1].end(), {number(w, 1), -number(w, 2)});
        if (w[0] == "usemtl" && w.size() >= 2)
            material = w[1];
        if (w[0] != "f")
            continue;
        // Each index as atoi reads it, 0 when absent; a negative one counts
        // back from the end of its list.
        std::vector<std::array<int, 3>> face(w.size() - 1, {0, 0, 0});
        for (std::size_t i = 1; i < w.size(); ++i) {
            const char* part = w[i].c_str();
            for (int k = 0; k < 3 && part != nullptr; ++k) {
                const int index = std::atoi(part);
                face[i - 1][k] = index < 0 ? static_cast<int>(lists[k].size() / widths[k]) + 1 + index : index;
                part = std::strchr(part, '/');
                part = part != nullptr ? part + 1 : nullptr;
            }
        }
        for (std::size_t k = 0; k + 3 <= face.size(); ++k) {
            corners.insert(corners.end(), {face[0], face[k + 1], face[k + 2]});
            triangleMaterial.push_back(material);
        }
    }

    // Equal vertices are those of equal bytes; numbers in order of appearance.
    const bool hasNormals = !lists[2].empty(), hasTexCoords = !lists[1].empty();
    const std::size_t floatsPerVertex = 3 + (hasNormals ? 3 : 0) + (hasTexCoords ? 2 : 0);
    std::map<std::string, std::uint32_t> numbers;
    std::vector<float> vertices;
    std::vector<std::uint32_t> indices;
    for (const std::array<int, 3>& corner : corners) {
        float vertex[8] = {};
        const std::size_t slots[3] = {0, hasNormals ? 6u : 3u, 3};
        for (std::size_t k = 0; k < 3; ++k)
            if (corner[k] != 0 && !lists[k].empty())
                std::copy_n(&lists[k][widths[k] * (corner[k] - 1)], widths[k], vertex + slots[k]);
        const auto found = numbers.emplace(std::string(reinterpret_cast<const char*>(vertex), 4 * floatsPerVertex),
                                           static_cast<std::uint32_t>(numbers.size()));
        if (found.second)
            vertices.insert(vertices.end(), vertex, vertex + floatsPerVertex);
        indices.push_back(found.first->second);
    }

    // Each material collects the triangles under its name in file order; the
    // triangles no material claims form a last, unnamed group when there are any.
    std::vector<VESK::CNamedMaterial> materials;
    std::set<std::string> mtlFilesRead;
    for (const std::string& name : mtlNames)
        readMaterials(path.substr(0, path.rfind('/') + 1) + name, mtlFiles, mtlFilesRead, materials);
    const std::size_t named = materials.size();
    materials.emplace_back();
    std::vector<VESK::CSubMesh> subMeshes;
    std::vector<std::uint32_t> regrouped;
    for (std::size_t g = 0; named > 0 && g <= named; ++g) {
        const std::size_t first = regrouped.size();
        for (std::size_t t = 0; t < triangleMaterial.size(); ++t) {
            const auto claims = [&](const VESK::CNamedMaterial& m) { return m.name == triangleMaterial[t]; };
            if (g < named ? claims(materials[g]) : std::none_of(materials.begin(), materials.end() - 1, claims))
                regrouped.insert(regrouped.end(), indices.begin() + 3 * t, indices.begin() + 3 * t + 3);
        }
        if (g < named || regrouped.size() > first)
            subMeshes.push_back(VESK::CSubMesh{materials[g].name, materials[g].material, materials[g].textureName,
                                               static_cast<std::uint32_t>(first),
                                               static_cast<std::uint32_t>((regrouped.size() - first) / 3)});
    }
    if (named > 0)
        indices = regrouped;

    std::vector<VESK::CVertexElement> layout = {{0, 3, 1, 0}};
    if (hasNormals)
        layout.push_back({12, 3, 2, 0});
    if (hasTexCoords)
        layout.push_back({hasNormals ? 24 : 12, 2, 4, 0});
    layout.push_back({0, 0, 0, 0});
    return recordText(static_cast<std::uint32_t>(4 * floatsPerVertex), layout, vertices, indices, subMeshes);
}
