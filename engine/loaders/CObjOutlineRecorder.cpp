#include "CObjOutlineRecorder.h"

#include <utility>

namespace VESK {

void CObjOutlineRecorder::addCorners(const CObjLineReader::Corner* corners, std::size_t count)
{
    for (const CObjLineReader::Corner* corner = corners; corner < corners + count; ++corner) {
        if (corner->position <= lists.positions.size())
            markUsed(corner->position);
        else
            laterPositions.push_back(corner->position);
        namesNormals = namesNormals || corner->normal != 0;
        if (!normalsShown) {
            outline.corners.push_back(corner->position);
            outline.corners.push_back(corner->texCoord);
        }
    }
}

void CObjOutlineRecorder::widenLayout(bool withNormals, bool)
{
    if (withNormals && !normalsShown)
        std::vector<std::uint32_t>().swap(outline.corners);
    normalsShown = withNormals;
}

void CObjOutlineRecorder::finish(std::vector<CMaterialMark>& marks)
{
    for (const std::uint32_t position : laterPositions)
        markUsed(position);
    outline.positionUsed.resize(lists.positions.size());
    outline.positions.assign(lists.positions.at(0), lists.positions.at(0) + 3 * lists.positions.size());
    outline.hasNormals = lists.normals.size() > 0 && namesNormals;
    if (normalsShown)
        return;
    if (lists.texCoords.size() > 0) {
        outline.texCoords.assign(lists.texCoords.at(0), lists.texCoords.at(0) + 2 * lists.texCoords.size());
    } else {
        for (std::size_t i = 1; i < outline.corners.size(); i += 2)
            outline.corners[i] = 0;
    }
    for (CMaterialMark& mark : marks)
        outline.materialMarks.push_back(CObjOutline::MaterialMark{std::move(mark.name), mark.start});
}

void CObjOutlineRecorder::markUsed(std::uint32_t position)
{
    if (outline.positionUsed.size() < lists.positions.size())
        outline.positionUsed.resize(lists.positions.size());
    outline.positionUsed[position - 1] = 1;
}

}  // namespace VESK
