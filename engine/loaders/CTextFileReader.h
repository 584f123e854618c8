#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

// Reads one text file in large blocks of whole lines, for readers that walk
// the bytes themselves: no per-line allocation and no copy of the whole file.
// It owns the file descriptor and one reused buffer, both released when the
// reader is destroyed; a UTF-8 byte-order mark at the start of the file is
// skipped. For formats whose lines continue after a trailing backslash, a
// block can be kept from ending inside such a continued line.

namespace VESK {

class CTextFileReader {
public:
    // With `continuedLines`, a line feed after a backslash, or after a
    // backslash and a carriage return, never ends a block.
    explicit CTextFileReader(bool continuedLines = false) : keepsContinuedLines(continuedLines) {}
    ~CTextFileReader();

    CTextFileReader(const CTextFileReader&) = delete;
    CTextFileReader& operator=(const CTextFileReader&) = delete;

    // Opens the file for reading; false, with errno telling why, when it
    // cannot be opened or is not a regular file (EISDIR for a directory,
    // EINVAL for a device or a pipe).
    bool open(const std::string& path);

    // Hands out the next block [begin, end) of whole lines. The block's last
    // byte is always a line feed (one is supplied after a last line without
    // one), so a reader can scan a line without checking for the block's end,
    // and readAheadBytes (TextNumbers.h) more bytes after the block can be read.
    // The block stays valid until the next call, and the caller may rewrite
    // its bytes. Returns false at the end of the file, and also after a read
    // error, which failed() then reports and readErrorNumber() names.
    bool nextBlock(char*& begin, char*& end);

    // Reads the rest of the open file into `bytes` as it is, without the rules
    // of the blocks (CTextBlock applies them to bytes in memory); false after
    // a read error.
    bool readAll(std::string& bytes);

    bool failed() const { return readError != 0; }
    // The errno of the read that failed, 0 when none did.
    int readErrorNumber() const { return readError; }

    // The size of the open file when it was opened, in bytes.
    std::uint64_t fileSize() const { return size; }

    // The device and inode of the open file: equal for two paths naming one file.
    std::pair<std::uint64_t, std::uint64_t> fileIdentity() const { return identity; }

private:
    const char* lastBlockEnd(std::size_t searched) const;

    bool keepsContinuedLines;
    int descriptor = -1;
    std::pair<std::uint64_t, std::uint64_t> identity{0, 0};
    std::uint64_t size = 0;
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    std::size_t filled = 0;
    std::size_t consumed = 0;
    bool atStart = true;
    bool atEnd = false;
    int readError = 0;
};

}  // namespace VESK
