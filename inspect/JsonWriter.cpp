#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

void JsonWriter::separate()
{
    if (needsComma)
        out << ',';
    needsComma = true;
}

void JsonWriter::beginObject()
{
    separate();
    out << '{';
    needsComma = false;
}

void JsonWriter::endObject()
{
    out << '}';
    needsComma = true;
}

void JsonWriter::beginArray()
{
    separate();
    out << '[';
    needsComma = false;
}

void JsonWriter::endArray()
{
    out << ']';
    needsComma = true;
}

void JsonWriter::key(const char* name)
{
    separate();
    out << quote(name) << ':';
    needsComma = false;
}

void JsonWriter::value(std::int64_t number)
{
    separate();
    out << number;
}

void JsonWriter::value(float number)
{
    separate();
    out << formatFloat(number);
}

void JsonWriter::value(const std::string& text)
{
    separate();
    out << quote(text);
}

std::string JsonWriter::formatFloat(float number)
{
    if (std::isnan(number))
        return std::signbit(number) ? "\"-nan\"" : "\"nan\"";
    if (std::isinf(number))
        return number < 0 ? "\"-inf\"" : "\"inf\"";
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(number));
    return text;
}

std::string JsonWriter::quote(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}
