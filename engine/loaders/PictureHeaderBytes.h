#pragma once

#include <cstdint>

// A picture file's bytes as the header checks read them, and the little- and
// big-endian fields the formats store. A check asks whether the bytes it needs
// lie in the file before it reads them, so a cut or hostile file is never read
// past its end.

namespace VESK {

struct PictureBytes {
    const std::uint8_t* data;
    std::int64_t size;

    // True when count bytes from offset lie inside the file.
    bool has(std::int64_t offset, std::int64_t count) const
    {
        return offset >= 0 && count >= 0 && offset <= size && count <= size - offset;
    }

    // The byte at offset, or -1 outside the file.
    int at(std::int64_t offset) const { return offset >= 0 && offset < size ? data[offset] : -1; }
};

inline std::uint32_t little16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

inline std::uint32_t little32(const std::uint8_t* p)
{
    return little16(p) | (little16(p + 2) << 16);
}

inline std::uint32_t big16(const std::uint8_t* p)
{
    return (p[0] << 8) | p[1];
}

inline std::uint32_t big32(const std::uint8_t* p)
{
    return (big16(p) << 16) | big16(p + 2);
}

}  // namespace VESK
