#pragma once

#include <cstdint>
#include <ostream>
#include <string>

// Writes the pieces of vesk-inspect's JSON output: numbers and strings in the
// exact forms the tool promises, and commas between the members of an object
// or array. Nesting is tracked by the caller through begin/end pairs.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();

    // Starts an object member; the value follows with one of the calls below.
    void key(const char* name);

    void value(std::int64_t number);
    // Reads back to the same 32-bit float; -0 as "-0"; non-finite values as
    // the strings "inf", "-inf", "nan" or "-nan".
    void value(float number);
    void value(const std::string& text);

    static std::string formatFloat(float number);
    static std::string quote(const std::string& text);

private:
    void separate();

    std::ostream& out;
    bool needsComma = false;
};
