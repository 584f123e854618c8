#include "CObjLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <set>
#include <stdexcept>

#include "../../debugging/CException.h"
#include "CObjLineReader.h"
#include "CObjOutlineRecorder.h"
#include "CObjRefusal.h"
#include "CTextBlock.h"
#include "CTextFileReader.h"
#include "MaterialGroups.h"
#include "MtlReader.h"

namespace VESK {

namespace {

// Hands the whole OBJ text to the reader, block by block.
using TextReading = std::function<void(CObjLineReader& reader)>;

// The file's blocks as they are read. Throws CObjRefusal saying why when the
// file cannot be opened or read.
void readFileText(const std::string& path, CObjLineReader& reader)
{
    CTextFileReader file(true);
    if (!file.open(path))
        throw CObjRefusal(std::strerror(errno));
    char* begin;
    char* end;
    while (file.nextBlock(begin, end))
        reader.readBlock(begin, end);
    if (file.failed())
        throw CObjRefusal(std::strerror(file.readErrorNumber()));
}

void readMemoryText(const char* bytes, std::size_t size, CObjLineReader& reader)
{
    const CTextBlock text(bytes, size);
    reader.readBlock(text.begin(), text.end());
}

// The MTL files on disk, regular files only; a file is known by its device
// and inode, whatever name reaches it.
class MtlFilesOnDisk : public VMtlFiles {
public:
    bool read(const std::string& path, std::string& bytes, std::string& identity) override
    {
        CTextFileReader file;
        if (!file.open(path) || !file.readAll(bytes))
            return false;
        identity = std::to_string(file.fileIdentity().first) + ':' + std::to_string(file.fileIdentity().second);
        return true;
    }
};

// Runs one reading of `path`: what it refuses, or cannot afford, leaves as
// the loader's CException.
template <class Reading>
auto asLoaderFailure(const std::string& path, Reading reading) -> decltype(reading())
{
    try {
        return reading();
    } catch (const CObjRefusal& refusal) {
        throw DEBUGGING::CException(CObjLoader::failureMessage(path, refusal.reason()));
    } catch (const std::bad_alloc&) {
        throw DEBUGGING::CException(CObjLoader::failureMessage(path, "out of memory"));
    } catch (const std::length_error&) {
        throw DEBUGGING::CException(CObjLoader::failureMessage(path, "too large for 32-bit indices"));
    }
}

// Reads the MTL files that the mtllib lines name, beside the OBJ file (only
// '/' separates folders in its path), each file once, whatever its name.
void readMtlFiles(const std::string& objPath, std::vector<std::string>& names, VMtlFiles& mtlFiles,
                  std::vector<CNamedMaterial>& materials, CObjOutline* outline)
{
    const std::size_t slash = objPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : objPath.substr(0, slash + 1);
    if (outline != nullptr)
        outline->mtlFiles.reserve(names.size());
    std::set<std::string> identities;
    std::string bytes;
    std::string identity;
    for (std::string& name : names) {
        // Files written elsewhere may name folders with backslashes; the OBJ
        // file's own folder is named as the caller gave it.
        std::replace(name.begin(), name.end(), '\\', '/');
        const std::string path = folder + name;
        const bool read = mtlFiles.read(path, bytes, identity) && identities.insert(identity).second;
        if (outline != nullptr)
            outline->mtlFiles.push_back(CObjOutline::MtlFile{std::move(name), path, read});
        if (read)
            readMaterials(bytes.data(), bytes.size(), materials, outline ? &outline->textureLines : nullptr,
                          outline ? outline->mtlFiles.size() - 1 : 0);
    }
}

// The vertex layout: position, then normal and texture coordinates when the
// file has them, then the end marker.
void setLayout(CMeshData& record, bool hasNormals, bool hasTexCoords)
{
    record.elementCount = 2 + (hasNormals ? 1 : 0) + (hasTexCoords ? 1 : 0);
    record.elements = new CVertexElement[record.elementCount];
    CVertexElement* element = record.elements;
    *element++ = CVertexElement{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0};
    if (hasNormals)
        *element++ = CVertexElement{12, DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0};
    if (hasTexCoords)
        *element++ = CVertexElement{hasNormals ? 24 : 12, DECLTYPE_FLOAT2, DECLUSAGE_TEXCOORD, 0};
    *element = CVertexElement{0, 0, 0, 0};
    record.vertexStride = 4 * (3 + (hasNormals ? 3 : 0) + (hasTexCoords ? 2 : 0));
}

// The index array in the order of the ranges; when that is the file's order,
// the list read is handed over as it is, without a copy.
void setIndices(CMeshData& record, CGroupArray<std::uint32_t>& indexData,
                const std::vector<std::pair<std::uint32_t, std::uint32_t>>& ranges)
{
    std::uint64_t indexCount = 0;
    for (const auto& range : ranges)
        indexCount += range.second - range.first;
    record.indexSize = 4;
    record.indexCount = static_cast<std::uint32_t>(indexCount);
    if (ranges.size() == 1 && ranges[0].first == 0 && indexCount == indexData.size()) {
        record.indices = indexData.release();
        return;
    }
    CGroupArray<std::uint32_t> grouped;
    grouped.allocate(indexCount);
    std::uint32_t* target = grouped.at(0);
    for (const auto& range : ranges) {
        std::memcpy(target, indexData.at(range.first), (range.second - range.first) * sizeof(std::uint32_t));
        target += range.second - range.first;
    }
    record.indices = grouped.release();
}

CMeshData* makeRecord(CCornerResolver& resolver, const CMaterialGroups& groups,
                      const std::vector<CNamedMaterial>& materials, bool hasNormals, bool hasTexCoords)
{
    std::unique_ptr<CMeshData> record(new CMeshData);
    setLayout(*record, hasNormals, hasTexCoords);
    record->vertexCount = static_cast<std::uint32_t>(resolver.vertices().getVertexCount());
    record->vertices = resolver.vertices().releaseVertices();
    setIndices(*record, resolver.indices(), groups.ranges);
    // The group after the materials' groups holds the unclaimed triangles.
    const CNamedMaterial unclaimed;
    for (std::size_t g = 0; g < groups.starts.size(); ++g) {
        const std::uint32_t first = groups.starts[g];
        const std::uint32_t last = g + 1 < groups.starts.size() ? groups.starts[g + 1] : record->indexCount;
        const CNamedMaterial& material = g < materials.size() ? materials[g] : unclaimed;
        record->addSubMesh(material.name, material.material, first, (last - first) / 3, material.textureName);
    }
    return record.release();
}

CMeshData* loadText(const std::string& path, const TextReading& readText, VMtlFiles& mtlFiles,
                    CCornerResolver::Method method)
{
    CObjLineReader::Lists lists;
    CCornerResolver resolver(lists, method);
    CObjLineReader reader(lists, resolver, false);
    readText(reader);
    reader.finish();
    std::vector<CNamedMaterial> materials;
    readMtlFiles(path, reader.mtlNames(), mtlFiles, materials, nullptr);
    resolver.finish();
    // From here on only the vertices and indices are needed: the memory the
    // lists hold is given back before the record's arrays are made.
    lists.positions.clear(3);
    lists.normals.clear(3);
    lists.texCoords.clear(2);
    const CMaterialGroups groups = groupByMaterial(materials, reader.materialMarks(),
                                                   static_cast<std::uint32_t>(resolver.indices().size()));
    return makeRecord(resolver, groups, materials, reader.hasNormals(), reader.hasTexCoords());
}

CObjOutline outlineText(const std::string& path, const TextReading& readText, VMtlFiles& mtlFiles)
{
    CObjOutline outline;
    CObjLineReader::Lists lists;
    CObjOutlineRecorder recorder(lists, outline);
    CObjLineReader reader(lists, recorder, true);
    readText(reader);
    reader.finish();
    readMtlFiles(path, reader.mtlNames(), mtlFiles, outline.materials, &outline);
    recorder.finish(reader.materialMarks());
    return outline;
}

}  // namespace

CObjLoader::CObjLoader(CCornerResolver::Method method) : VLoader("obj"), method(method) {}

CObjLoader::~CObjLoader() = default;

void CObjLoader::saveToFile(void*, std::string) {}

std::string CObjLoader::failureMessage(const std::string& path, const std::string& reason)
{
    std::string message = "VESK::CObjLoader::loadFromFile " + path + " [FAILED]";
    if (!reason.empty())
        message += " (" + reason + ")";
    return message;
}

void* CObjLoader::loadFromFile(std::string path)
{
    return asLoaderFailure(path, [&] {
        MtlFilesOnDisk mtlFiles;
        return loadText(path, [&](CObjLineReader& reader) { readFileText(path, reader); }, mtlFiles, method);
    });
}

CMeshData* CObjLoader::loadFromMemory(const char* bytes, std::size_t size, const std::string& path,
                                      VMtlFiles& mtlFiles) const
{
    return asLoaderFailure(path, [&] {
        return loadText(path, [&](CObjLineReader& reader) { readMemoryText(bytes, size, reader); }, mtlFiles,
                        method);
    });
}

CObjOutline CObjLoader::readOutline(const std::string& path) const
{
    return asLoaderFailure(path, [&] {
        MtlFilesOnDisk mtlFiles;
        return outlineText(path, [&](CObjLineReader& reader) { readFileText(path, reader); }, mtlFiles);
    });
}

CObjOutline CObjLoader::readOutline(const char* bytes, std::size_t size, const std::string& path,
                                    VMtlFiles& mtlFiles) const
{
    return asLoaderFailure(path, [&] {
        return outlineText(path, [&](CObjLineReader& reader) { readMemoryText(bytes, size, reader); }, mtlFiles);
    });
}

}  // namespace VESK
