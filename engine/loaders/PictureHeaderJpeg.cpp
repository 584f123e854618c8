#include "PictureHeaderFormats.h"

#include <algorithm>
#include <cstring>

// The JPEG header: the start-of-image marker, then marker segments of a
// two-byte length each, up to the first scan.

namespace VESK {

namespace {

// A start-of-frame segment (precision, height, width, component count, then
// per component its id, sampling factors and table) of the given length at
// segment: the frame's sides, and one byte of coded data for every 8 minimum
// coded units; nothing for a frame that is no Huffman-coded one or is cut or
// malformed.
std::optional<PictureHeader> jpegFrame(const PictureBytes& file, int kind, std::int64_t segment,
                                       std::uint32_t length)
{
    if (kind > 0xc2 || length < 6 || length > 6 + 3 * 255 || !file.has(segment, length))
        return std::nullopt;
    const std::uint8_t* header = file.data + segment;
    if (length != 6 + 3u * header[5])
        return std::nullopt;
    std::int64_t columnsPerUnit = 8;
    std::int64_t rowsPerUnit = 8;
    for (std::uint32_t i = 0; i < header[5]; ++i) {
        const std::uint8_t sampling = header[6 + 3 * i + 1];
        if ((sampling >> 4) < 1 || (sampling >> 4) > 4 || (sampling & 15) < 1 || (sampling & 15) > 4)
            return std::nullopt;
        columnsPerUnit = std::max<std::int64_t>(columnsPerUnit, 8 * (sampling >> 4));
        rowsPerUnit = std::max<std::int64_t>(rowsPerUnit, 8 * (sampling & 15));
    }
    const std::int64_t width = big16(header + 3);
    const std::int64_t height = big16(header + 1);
    const std::int64_t units = (width + columnsPerUnit - 1) / columnsPerUnit * ((height + rowsPerUnit - 1) / rowsPerUnit);
    return PictureHeader{width, height, (units + 7) / 8};
}

// True when every marker segment after the first scan's header, up to EOI
// or the end of the file, lies inside the file. libjpeg reads those that
// follow the coded data, and DevIL's reader hangs on one that runs past the
// end. In coded data, 0xff is followed by a stuffed zero, and a restart
// marker has no length either.
bool segmentsAfterScanInFile(const PictureBytes& file, std::int64_t at)
{
    for (;;) {
        const void* mark = at < file.size ? std::memchr(file.data + at, 0xff, std::size_t(file.size - at)) : nullptr;
        if (mark == nullptr)
            return true;
        at = static_cast<const std::uint8_t*>(mark) - file.data + 1;
        const int kind = file.at(at);
        if (kind == 0xd9)
            return true;
        if (kind < 0 || kind == 0x00 || kind == 0x01 || kind == 0xff || (kind >= 0xd0 && kind <= 0xd7))
            continue;
        const std::int64_t length = file.has(at + 1, 2) ? big16(file.data + at + 1) : 0;
        if (length < 2 || !file.has(at + 1, length))
            return false;
        at += 1 + length;
    }
}

}  // namespace

// Walks the marker segments up to the first scan; fill bytes (0xff) before a
// marker are skipped. Only Huffman-coded frames (baseline, extended or
// progressive) are let through: an arithmetic-coded one can code a blank
// picture of any size in a few bytes, and libjpeg decodes no other. A scan
// codes each of its blocks in at least one bit and has at least one block per
// minimum coded unit, and when the coded data ends early libjpeg invents the
// rest and DevIL reports success: the bytes from the first scan on must hold
// one bit per unit, and the segments among them must lie inside the file.
std::optional<PictureHeader> readJpegHeader(const PictureBytes& file)
{
    if (!file.has(0, 2) || file.data[0] != 0xff || file.data[1] != 0xd8)
        return std::nullopt;
    std::optional<PictureHeader> frame;
    std::int64_t next = 2;
    for (;;) {
        int kind = file.at(next++);
        if (kind != 0xff)
            return std::nullopt;
        while (kind == 0xff)
            kind = file.at(next++);
        // libjpeg reads no length after a stuffed zero, TEM or a restart
        // marker, and stops at a reserved marker, SOI or EOI: past any of
        // them it would read other segments than this walk does.
        if (kind < 0xc0 || (kind >= 0xd0 && kind <= 0xd9) || !file.has(next, 2) || big16(file.data + next) < 2)
            return std::nullopt;
        const std::uint32_t length = big16(file.data + next) - 2;
        next += 2;
        const bool startOfFrame = kind >= 0xc0 && kind <= 0xcf && kind != 0xc4 && kind != 0xc8 && kind != 0xcc;
        if (startOfFrame) {
            if (frame)
                return std::nullopt;
            frame = jpegFrame(file, kind, next, length);
            if (!frame)
                return std::nullopt;
        } else if (kind == 0xda) {
            if (!frame)
                return std::nullopt;
            frame->minimumFileSize += next + length;
            if (!segmentsAfterScanInFile(file, next + length))
                return std::nullopt;
            return frame;
        }
        next += length;
    }
}

}  // namespace VESK
