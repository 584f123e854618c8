#include "ObjWithNormals.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Three floats per position: the sum of the cross products of the triangles
// around it, normalised. The cross product's length is twice the triangle's
// area, which weights each triangle by its area. It is computed in double:
// from float coordinates it then neither overflows nor underflows, and keeps
// the precision that the differences of large coordinates lose in float.
std::vector<float> smoothNormals(const VESK::CObjOutline& outline)
{
    const float* const positions = outline.positions.data();
    const std::size_t positionCount = outline.positions.size() / 3;
    const std::uint32_t* const corners = outline.corners.data();
    std::vector<double> sums(positionCount * 3, 0.0);
    for (std::size_t i = 0; i + 6 <= outline.corners.size(); i += 6) {
        const std::size_t at[3] = {3 * std::size_t(corners[i] - 1), 3 * std::size_t(corners[i + 2] - 1),
                                   3 * std::size_t(corners[i + 4] - 1)};
        const float* const a = positions + at[0];
        const float* const b = positions + at[1];
        const float* const c = positions + at[2];
        const double ab[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
        const double ac[3] = {double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
        const double cross[3] = {ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2],
                                 ab[0] * ac[1] - ab[1] * ac[0]};
        // Every coordinate of a corner is a factor in two of the products, so
        // a non-finite one leaves a non-finite component; finite ones cannot
        // overflow. Such a triangle has no normal to give.
        if (!std::isfinite(cross[0] + cross[1] + cross[2]))
            continue;
        for (const std::size_t corner : at)
            for (int axis = 0; axis < 3; ++axis)
                sums[corner + axis] += cross[axis];
    }

    std::vector<float> normals(positionCount * 3);
    for (std::size_t i = 0; i < normals.size(); i += 3) {
        const double* const sum = &sums[i];
        const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
        if (length == 0.0) {
            normals[i] = 0.0f;
            normals[i + 1] = 0.0f;
            normals[i + 2] = 1.0f;
            continue;
        }
        for (int axis = 0; axis < 3; ++axis)
            normals[i + axis] = static_cast<float>(sum[axis] / length);
    }
    return normals;
}

// Lines are formatted into one large buffer that goes to the file in one
// fwrite when it is nearly full: no call and no allocation per line.
class LineBuffer {
public:
    // Room for any line of numbers: a face line of nine 10-digit indices takes
    // 101 bytes, a vector line of three floats of at most 22 characters 72.
    static constexpr std::ptrdiff_t lineRoom = 128;

    explicit LineBuffer(std::FILE* file) : file(file), buffer(std::size_t(1) << 20) { next = buffer.data(); }

    // Where the next line is formatted.
    char* next;

    // Makes room at `next` for one line of at most lineRoom bytes; false when
    // writing out what the buffer held fails.
    bool reserveLine() { return buffer.data() + buffer.size() - next >= lineRoom || flush(); }

    // Appends a line of a keyword and a name, which may be of any length;
    // false when a write fails.
    bool nameLine(const char* keyword, const std::string& name)
    {
        return append(keyword, std::strlen(keyword)) && append(" ", 1) && append(name.data(), name.size()) &&
               append("\n", 1);
    }

    // Writes out what the buffer holds; false when the write fails.
    bool flush()
    {
        const std::size_t size = static_cast<std::size_t>(next - buffer.data());
        next = buffer.data();
        return std::fwrite(buffer.data(), 1, size, file) == size;
    }

private:
    bool append(const char* text, std::size_t size)
    {
        if (static_cast<std::size_t>(buffer.data() + buffer.size() - next) < size) {
            if (!flush())
                return false;
            if (size > buffer.size())
                return std::fwrite(text, 1, size, file) == size;
        }
        std::memcpy(next, text, size);
        next += size;
        return true;
    }

    std::FILE* file;
    std::vector<char> buffer;
};

// The shortest form that reads back as the same float, nan and inf included,
// in at most 15 characters. The viewer reads a number as atof does, rounding
// to double and then to float; of all 2^32 floats only 7.038531e-26 and its
// negative then read back as a neighbour (the double falls on the midpoint
// between two floats), so they are written in the shortest form of their
// double, which that reading gives back exactly.
char* writeFloat(char* out, float value)
{
    *out++ = ' ';
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    if ((bits & 0x7fffffffu) == 0x15ae43fdu)
        return std::to_chars(out, out + 32, static_cast<double>(value)).ptr;
    return std::to_chars(out, out + 32, value).ptr;
}

char* writeIndex(char* out, std::uint32_t index)
{
    return std::to_chars(out, out + 10, index).ptr;
}

// One face corner as position/texture/normal, or position//normal without a
// texture index; the normal has the position's index.
char* writeCorner(char* out, std::uint32_t position, std::uint32_t texCoord)
{
    *out++ = ' ';
    char* const digits = out;
    out = writeIndex(out, position);
    const std::size_t length = static_cast<std::size_t>(out - digits);
    *out++ = '/';
    if (texCoord != 0)
        out = writeIndex(out, texCoord);
    *out++ = '/';
    std::memcpy(out, digits, length);
    return out + length;
}

bool writeVectors(LineBuffer& buffer, const char* keyword, const std::vector<float>& values)
{
    const std::size_t keywordLength = std::strlen(keyword);
    for (std::size_t i = 0; i + 3 <= values.size(); i += 3) {
        if (!buffer.reserveLine())
            return false;
        char* out = buffer.next;
        std::memcpy(out, keyword, keywordLength);
        out += keywordLength;
        out = writeFloat(out, values[i]);
        out = writeFloat(out, values[i + 1]);
        out = writeFloat(out, values[i + 2]);
        *out++ = '\n';
        buffer.next = out;
    }
    return true;
}

// The outline holds v negated, as a mesh stores it; the viewer negates what
// it reads, so the negation written here gives it the very float back.
bool writeTexCoords(LineBuffer& buffer, const std::vector<float>& values)
{
    for (std::size_t i = 0; i + 2 <= values.size(); i += 2) {
        if (!buffer.reserveLine())
            return false;
        char* out = buffer.next;
        *out++ = 'v';
        *out++ = 't';
        out = writeFloat(out, values[i]);
        out = writeFloat(out, -values[i + 1]);
        *out++ = '\n';
        buffer.next = out;
    }
    return true;
}

// The triangles, with each usemtl line before the first triangle at or after
// the corner count it was read at, and those read after the last triangle
// at the end.
bool writeFaces(LineBuffer& buffer, const VESK::CObjOutline& outline)
{
    const std::vector<VESK::CObjOutline::MaterialMark>& marks = outline.materialMarks;
    const std::uint32_t* const corners = outline.corners.data();
    std::size_t mark = 0;
    for (std::size_t i = 0; i + 6 <= outline.corners.size(); i += 6) {
        for (; mark < marks.size() && marks[mark].corner <= i / 2; ++mark)
            if (!buffer.nameLine("usemtl", marks[mark].name))
                return false;
        if (!buffer.reserveLine())
            return false;
        char* out = buffer.next;
        *out++ = 'f';
        out = writeCorner(out, corners[i], corners[i + 1]);
        out = writeCorner(out, corners[i + 2], corners[i + 3]);
        out = writeCorner(out, corners[i + 4], corners[i + 5]);
        *out++ = '\n';
        buffer.next = out;
    }
    for (; mark < marks.size(); ++mark)
        if (!buffer.nameLine("usemtl", marks[mark].name))
            return false;
    return true;
}

}  // namespace

bool writeObjWithNormals(const VESK::CObjOutline& outline, std::FILE* file)
{
    const std::vector<float> normals = smoothNormals(outline);
    LineBuffer buffer(file);
    for (const VESK::CObjOutline::MtlFile& mtlFile : outline.mtlFiles)
        if (!buffer.nameLine("mtllib", mtlFile.name))
            return false;
    return writeVectors(buffer, "v", outline.positions) && writeTexCoords(buffer, outline.texCoords) &&
           writeVectors(buffer, "vn", normals) && writeFaces(buffer, outline) && buffer.flush() &&
           std::fflush(file) == 0;
}
