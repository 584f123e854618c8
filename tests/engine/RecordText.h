#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/loaders/CMeshData.h"

// A mesh record as one line of text, equal for two records exactly when they
// are equal: "stride layout | vertex floats | indices |", then per sub-mesh
// "'name' first+count texture" and the material values that differ from the
// default material's (* when none do). A layout entry is its usage (p, n, c,
// t), element type and @offset; "." is the end marker. Floats are written in
// the shortest form that reads back to the same bits, NaNs as "nan" and their
// bits in hexadecimal.
inline std::string recordText(std::uint32_t stride, const std::vector<VESK::CVertexElement>& layout,
                              const std::vector<float>& vertices, const std::vector<std::uint32_t>& indices,
                              const std::vector<VESK::CSubMesh>& subMeshes)
{
    const auto number = [](float value) {
        char word[32] = " ";
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        if (std::isnan(value))
            return std::string(word, 1 + std::snprintf(word + 1, sizeof word - 1, "nan%x", bits));
        return std::string(word, std::to_chars(word + 1, word + sizeof word, value).ptr);
    };
    std::string text = std::to_string(stride);
    for (const VESK::CVertexElement& e : layout)
        text += e.isEndMarker() ? std::string(" .")
                                : std::string(" ") + "?pnct?"[std::min<std::uint32_t>(e.usage, 5)] +
                                      std::to_string(e.type) + '@' + std::to_string(e.offset) +
                                      (e.unit != 0 ? ":" + std::to_string(e.unit) : "");
    text += " |";
    for (const float value : vertices)
        text += number(value);
    text += " |";
    for (const std::uint32_t index : indices)
        text += ' ' + std::to_string(index);
    text += " |";
    // A material as its five values: four colours and the shininess.
    const auto valuesOf = [&](const VESK::CMaterial& m) {
        std::vector<std::string> values;
        for (const auto* colour : {&m.ambient, &m.diffuse, &m.specular, &m.emission}) {
            values.emplace_back();
            for (std::size_t i = 0; i < 4; ++i)
                values.back() += number((*colour)[i]);
        }
        values.push_back(number(m.shininess));
        return values;
    };
    const std::vector<std::string> standard = valuesOf(VESK::CMaterial());
    for (const VESK::CSubMesh& sub : subMeshes) {
        text += " '" + sub.name + "' " + std::to_string(sub.firstIndex) + '+' + std::to_string(sub.triangleCount) +
                ' ' + sub.textureName;
        const std::vector<std::string> values = valuesOf(sub.material);
        const char* const keys[] = {" Ka", " Kd", " Ks", " Ke", " Ns"};
        std::string changed;
        for (std::size_t k = 0; k < values.size(); ++k)
            changed += values[k] == standard[k] ? "" : keys[k] + values[k];
        text += changed.empty() ? "*" : changed;
    }
    return text;
}

inline std::string recordText(const VESK::CMeshData& mesh)
{
    return recordText(mesh.vertexStride, {mesh.elements, mesh.elements + mesh.elementCount},
                      {mesh.vertices, mesh.vertices + std::size_t(mesh.vertexCount) * mesh.vertexStride / 4},
                      {mesh.indices, mesh.indices + mesh.indexCount}, mesh.subMeshes);
}
