#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Reads one text file in large blocks of whole lines, for readers that walk
// the bytes themselves: no per-line allocation and no copy of the whole file.
// It owns the file descriptor and one reused buffer, both released when the
// reader is destroyed; a UTF-8 byte-order mark at the start of the file is
// skipped.

namespace VESK {

class CTextFileReader {
public:
    CTextFileReader() = default;
    ~CTextFileReader();

    CTextFileReader(const CTextFileReader&) = delete;
    CTextFileReader& operator=(const CTextFileReader&) = delete;

    // Opens the file for reading; false when it cannot be opened or is not a
    // regular file (a directory, a device or a pipe).
    bool open(const std::string& path);

    // Hands out the next block [begin, end) of whole lines. The block's last
    // byte is always a line feed (one is supplied after a last line without
    // one), so a reader can scan a line without checking for the block's end.
    // The block stays valid until the next call. Returns false at the end of
    // the file, and also after a read error, which failed() then reports.
    bool nextBlock(const char*& begin, const char*& end);

    bool failed() const { return readError; }

private:
    int descriptor = -1;
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    std::size_t filled = 0;
    std::size_t consumed = 0;
    bool atStart = true;
    bool atEnd = false;
    bool readError = false;
};

}  // namespace VESK
