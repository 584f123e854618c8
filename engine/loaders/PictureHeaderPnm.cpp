#include "PictureHeaderFormats.h"

#include <algorithm>

// The header of a binary portable any-map: magic, width, height and largest
// sample value as words of text, then the samples.

namespace VESK {

namespace {

bool isAsciiAlphanumeric(int c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The bytes of a PNM header one at a time from the start of the file: -1 at
// its end, where reading stays.
class PnmCursor {
public:
    explicit PnmCursor(const PictureBytes& file) : file(file) {}

    int get()
    {
        const int c = file.at(next);
        next += c < 0 ? 0 : 1;
        return c;
    }
    void unget() { --next; }
    std::int64_t position() const { return next; }

private:
    const PictureBytes& file;
    std::int64_t next = 0;
};

// One word of a PNM header read the way DevIL reads it: letters and digits up
// to a line feed, '#' or space (other bytes, tabs among them, are dropped, not
// separators); a '#' ends the line as a comment; spaces after the word are
// skipped, except after the last word, where the pixels start right behind
// its one ending byte. A word of no letters or digits, or the end of the file
// anywhere, fails the header.
std::optional<std::string> devilPnmWord(PnmCursor& in, bool last)
{
    for (;;) {
        std::string word;
        int c = in.get();
        for (; c >= 0 && c != '\n' && c != '#' && c != ' '; c = in.get()) {
            if (word.size() >= 180)
                return std::nullopt;
            if (isAsciiAlphanumeric(c))
                word += static_cast<char>(c);
        }
        if (c < 0 || (last && word.empty()))
            return std::nullopt;
        if (last)
            return word;
        if (c == '#')
            while ((c = in.get()) >= 0 && c != '\n') {
            }
        while ((c = in.get()) == ' ') {
        }
        if (c < 0)
            return std::nullopt;
        in.unget();
        if (!word.empty())
            return word;
    }
}

// The value atoi gives a header word: its leading digits, here saturated at
// 2^40 (such sizes are refused anyway).
std::int64_t leadingNumber(const std::string& word)
{
    std::int64_t value = 0;
    for (std::size_t i = 0; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i)
        value = std::min(value * 10 + (word[i] - '0'), std::int64_t{1} << 40);
    return value;
}

}  // namespace

// Binary grey (P5, .pgm) or colour (P6, .ppm) maps of one byte per sample
// only. DevIL misreads the others: it takes two-byte binary samples as one
// byte wide and then converts twice the data it holds, and its text reader
// writes as many samples as a line holds, past the end of the image.
std::optional<PictureHeader> readPnmHeader(const PictureBytes& file, const std::string& magic)
{
    PnmCursor in(file);
    const std::optional<std::string> kind = devilPnmWord(in, false);
    if (!kind || *kind != magic)
        return std::nullopt;
    const std::optional<std::string> width = devilPnmWord(in, false);
    const std::optional<std::string> height = devilPnmWord(in, false);
    if (!width || !height)
        return std::nullopt;
    const std::optional<std::string> maximum = devilPnmWord(in, true);
    if (!maximum || leadingNumber(*maximum) < 1 || leadingNumber(*maximum) > 255)
        return std::nullopt;
    const PictureHeader header{leadingNumber(*width), leadingNumber(*height)};
    if (!sidesInRange(header.width, header.height))
        return header;
    return PictureHeader{header.width, header.height,
                         in.position() + header.width * header.height * (magic == "P6" ? 3 : 1)};
}

}  // namespace VESK
