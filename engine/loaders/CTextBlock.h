#pragma once

#include <cstddef>
#include <memory>

// Text held in memory made into the one block of whole lines that the text
// readers walk, under the rules CTextFileReader::nextBlock keeps for the
// blocks of a file: a UTF-8 byte-order mark at the start is left out, the
// last byte is a line feed (one is supplied after a last line without one),
// and readAheadBytes (TextNumbers.h) readable bytes follow. Empty text makes
// an empty block. The block is a copy that its owner frees, and the reader
// may rewrite its bytes.

namespace VESK {

class CTextBlock {
public:
    // Throws std::bad_alloc when the copy does not fit in memory.
    CTextBlock(const char* bytes, std::size_t size);

    char* begin() const { return first; }
    char* end() const { return last; }

private:
    std::unique_ptr<char[]> buffer;
    char* first;
    char* last;
};

}  // namespace VESK
