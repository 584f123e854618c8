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
    const auto four = [&](const CMyVector<float, 4>& v) {
        return number(v[0]) + number(v[1]) + number(v[2]) + number(v[3]);
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
    using VESK::CMaterial;
    const CMaterial standard;
    for (const VESK::CSubMesh& sub : subMeshes) {
        std::string values;
        for (const auto& [key, colour] : {std::pair{" Ka", &CMaterial::ambient}, {" Kd", &CMaterial::diffuse},
                                          {" Ks", &CMaterial::specular}, {" Ke", &CMaterial::emission}})
            values += four(sub.material.*colour) == four(standard.*colour) ? "" : key + four(sub.material.*colour);
        if (number(sub.material.shininess) != number(standard.shininess))
            values += " Ns" + number(sub.material.shininess);
        text += " '" + sub.name + "' " + std::to_string(sub.firstIndex) + '+' + std::to_string(sub.triangleCount) +
                ' ' + sub.textureName + (values.empty() ? "*" : values);
    }
    return text;
}

inline std::string recordText(const VESK::CMeshData& mesh)
{
    return recordText(mesh.vertexStride, {mesh.elements, mesh.elements + mesh.elementCount},
                      {mesh.vertices, mesh.vertices + std::size_t(mesh.vertexCount) * mesh.vertexStride / 4},
                      {mesh.indices, mesh.indices + mesh.indexCount}, mesh.subMeshes);
}
