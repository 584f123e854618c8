#include <iostream>

#include "Commands.h"
#include "JsonWriter.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

namespace {

void writeColour(JsonWriter& json, const char* name, const CMyVector<float, 4>& colour)
{
    json.key(name);
    json.beginArray();
    for (std::size_t i = 0; i < 4; ++i)
        json.value(colour[i]);
    json.endArray();
}

void writeMesh(JsonWriter& json, const VESK::CMeshData& mesh, bool summary)
{
    json.beginObject();
    json.key("vertexStride");
    json.value(std::int64_t(mesh.vertexStride));
    json.key("indexSize");
    json.value(std::int64_t(mesh.indexSize));
    json.key("vertexCount");
    json.value(std::int64_t(mesh.vertexCount));
    json.key("indexCount");
    json.value(std::int64_t(mesh.indexCount));
    json.key("elementCount");
    json.value(std::int64_t(mesh.elementCount));
    json.key("elements");
    json.beginArray();
    for (std::uint32_t i = 0; i < mesh.elementCount; ++i) {
        const VESK::CVertexElement& element = mesh.elements[i];
        json.beginArray();
        for (const std::int32_t field : {element.offset, element.type, element.usage, element.unit})
            json.value(std::int64_t(field));
        json.endArray();
    }
    json.endArray();
    if (!summary) {
        json.key("vertices");
        json.beginArray();
        const std::size_t floatCount = std::size_t(mesh.vertexCount) * (mesh.vertexStride / 4);
        for (std::size_t i = 0; i < floatCount; ++i)
            json.value(mesh.vertices[i]);
        json.endArray();
        json.key("indices");
        json.beginArray();
        for (std::uint32_t i = 0; i < mesh.indexCount; ++i)
            json.value(std::int64_t(mesh.indices[i]));
        json.endArray();
    }
    json.key("subMeshes");
    json.beginArray();
    for (const VESK::CSubMesh& subMesh : mesh.subMeshes) {
        json.beginObject();
        json.key("name");
        json.value(subMesh.name);
        json.key("textureName");
        json.value(subMesh.textureName);
        json.key("firstIndex");
        json.value(std::int64_t(subMesh.firstIndex));
        json.key("triangleCount");
        json.value(std::int64_t(subMesh.triangleCount));
        writeColour(json, "ambient", subMesh.material.ambient);
        writeColour(json, "diffuse", subMesh.material.diffuse);
        writeColour(json, "specular", subMesh.material.specular);
        writeColour(json, "emission", subMesh.material.emission);
        json.key("shininess");
        json.value(subMesh.material.shininess);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

}  // namespace

int inspectMesh(const std::string& file, bool summary)
{
    // The factory picks the loader by extension, and only the OBJ loader's
    // gives a mesh record. Other files are refused with the OBJ loader's
    // failure message.
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || file.compare(dot + 1, std::string::npos, "obj") != 0) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, VESK::CObjLoader::failureMessage(file, ""));
        return 1;
    }
    VESK::CMeshData* mesh = static_cast<VESK::CMeshData*>(VESK::CFactoryLoader::loadFromFile(file));
    if (mesh == nullptr)
        return 1;
    JsonWriter json(std::cout);
    writeMesh(json, *mesh, summary);
    std::cout << '\n' << std::flush;
    delete mesh;
    return 0;
}
