#include "CTextFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "TextNumbers.h"

namespace VESK {

namespace {

// Large enough that the per-call costs vanish, small enough to stay in cache;
// a smaller file gets a buffer of its own size, with room for a last feed.
constexpr std::size_t largestInitialCapacity = std::size_t(1) << 20;

// Every buffer has the number readers' read-ahead after it, zeroed.
std::unique_ptr<char[]> newBuffer(std::size_t capacity)
{
    std::unique_ptr<char[]> buffer(new char[capacity + readAheadBytes]);
    std::memset(buffer.get() + capacity, 0, readAheadBytes);
    return buffer;
}

// True when the line ending at `feed` has a backslash as its last character;
// `start` is the first byte that may be looked at.
bool continuesOnNextLine(const char* start, const char* feed)
{
    if (feed > start && feed[-1] == '\r')
        --feed;
    return feed > start && feed[-1] == '\\';
}

}  // namespace

CTextFileReader::~CTextFileReader()
{
    if (descriptor >= 0)
        ::close(descriptor);
}

bool CTextFileReader::open(const std::string& path)
{
    // Non-blocking, so that opening a pipe without a writer cannot hang; such
    // files are refused below anyway.
    descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return false;
    struct stat status;
    const bool statted = ::fstat(descriptor, &status) == 0;
    if (!statted || !S_ISREG(status.st_mode)) {
        const int error = !statted ? errno : S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        ::close(descriptor);
        descriptor = -1;
        errno = error;
        return false;
    }
    identity = std::make_pair(static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino));
    size = static_cast<std::uint64_t>(status.st_size);
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool CTextFileReader::readAll(std::string& bytes)
{
    if (descriptor < 0 || failed())
        return false;
    // One byte more than the file's size, so that its end is met without growing.
    bytes.resize(static_cast<std::size_t>(size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(2 * bytes.size());
        const ssize_t got = ::read(descriptor, &bytes[filled], bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            readError = errno;
            return false;
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return true;
}

// The last line feed after `searched` that may end a block: with continued
// lines, none that follows a backslash.
const char* CTextFileReader::lastBlockEnd(std::size_t searched) const
{
    const char* lastFeed = static_cast<const char*>(::memrchr(buffer.get() + searched, '\n', filled - searched));
    while (keepsContinuedLines && lastFeed != nullptr && continuesOnNextLine(buffer.get(), lastFeed)) {
        const std::size_t before = static_cast<std::size_t>(lastFeed - buffer.get());
        lastFeed = before > searched
                       ? static_cast<const char*>(::memrchr(buffer.get() + searched, '\n', before - searched))
                       : nullptr;
    }
    return lastFeed;
}

bool CTextFileReader::nextBlock(char*& begin, char*& end)
{
    if (descriptor < 0 || failed())
        return false;
    if (!buffer) {
        capacity = size + 2 < largestInitialCapacity ? static_cast<std::size_t>(size) + 2 : largestInitialCapacity;
        buffer = newBuffer(capacity);
    }
    // Keep the unfinished last line of the previous block at the front.
    std::memmove(buffer.get(), buffer.get() + consumed, filled - consumed);
    filled -= consumed;
    consumed = 0;
    std::size_t searched = 0;
    for (;;) {
        if (atEnd) {
            if (filled == 0)
                return false;
            if (buffer[filled - 1] != '\n')
                buffer[filled++] = '\n';  // one byte is always kept free for this
            consumed = filled;
            break;
        }
        if (filled + 1 >= capacity) {
            std::unique_ptr<char[]> larger = newBuffer(capacity * 2);
            std::memcpy(larger.get(), buffer.get(), filled);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const ssize_t got = ::read(descriptor, buffer.get() + filled, capacity - 1 - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            readError = errno;
            return false;
        }
        if (got == 0) {
            atEnd = true;
            continue;
        }
        filled += static_cast<std::size_t>(got);
        if (filled + 1 < capacity)
            continue;  // fill the buffer before handing it out
        const char* lastFeed = lastBlockEnd(searched);
        searched = filled;
        if (lastFeed != nullptr) {
            consumed = static_cast<std::size_t>(lastFeed - buffer.get()) + 1;
            break;
        }
    }
    begin = buffer.get();
    end = buffer.get() + consumed;
    if (atStart) {
        atStart = false;
        if (end - begin >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0)
            begin += 3;
    }
    return true;
}

}  // namespace VESK
