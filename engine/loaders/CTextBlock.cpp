#include "CTextBlock.h"

#include <cstring>

#include "TextNumbers.h"

namespace VESK {

CTextBlock::CTextBlock(const char* bytes, std::size_t size) : buffer(new char[size + 1 + readAheadBytes])
{
    std::size_t length = size;
    if (size > 0)
        std::memcpy(buffer.get(), bytes, size);
    if (length > 0 && buffer[length - 1] != '\n')
        buffer[length++] = '\n';
    std::memset(buffer.get() + length, 0, readAheadBytes);
    first = buffer.get();
    last = first + length;
    if (length >= 3 && std::memcmp(first, "\xEF\xBB\xBF", 3) == 0)
        first += 3;
}

}  // namespace VESK
