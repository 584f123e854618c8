#pragma once

#include <exception>
#include <string>
#include <utility>

// Why an OBJ reading refuses its input ("line 12: position index 9 beyond
// the 8 read"), thrown by the pieces of the reading; CObjLoader alone turns
// it into its CException message. The reason is kept whole, even with a NUL
// byte copied from the file.

namespace VESK {

class CObjRefusal : public std::exception {
public:
    explicit CObjRefusal(std::string reason) : text(std::move(reason)) {}

    const std::string& reason() const { return text; }
    const char* what() const noexcept override { return text.c_str(); }

private:
    std::string text;
};

}  // namespace VESK
