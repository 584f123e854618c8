#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CMaterialMark.h"
#include "CObjLineReader.h"
#include "CObjOutline.h"

// What an outline reading keeps of the faces, in place of numbering their
// vertices: which positions they use (a position that a later line defines is
// marked once it is known), whether they name normals and, while the file
// shows no normals, the corners themselves, which are all a file without
// normals needs them for. Created by CObjLoader::readOutline for one reading,
// over the lists its line reader fills and the outline it returns.

namespace VESK {

class CObjOutlineRecorder : public CObjLineReader::FaceSink {
public:
    CObjOutlineRecorder(const CObjLineReader::Lists& lists, CObjOutline& outline) : lists(lists), outline(outline) {}

    void addCorners(const CObjLineReader::Corner* corners, std::size_t count) override;
    void widenLayout(bool withNormals, bool withTexCoords) override;

    // Hands the lists read, and the usemtl marks, over to the outline; after
    // the reader's finish(), when every face names data that was read.
    void finish(std::vector<CMaterialMark>& marks);

private:
    void markUsed(std::uint32_t position);

    const CObjLineReader::Lists& lists;
    CObjOutline& outline;
    std::vector<std::uint32_t> laterPositions;
    bool namesNormals = false;
    bool normalsShown = false;
};

}  // namespace VESK
