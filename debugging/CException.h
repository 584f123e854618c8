#pragma once

#include <exception>
#include <string>

// The engine's one exception type, thrown by loaders and caught only by the
// loader factory. Its text is the qualified operation, a blank, the file name
// and " [FAILED]".

namespace DEBUGGING {

class CException : public std::exception {
public:
    explicit CException(const std::string& text);
    CException(const CException& other);
    ~CException() override;

    const char* what() const noexcept override;

private:
    std::string message;
};

}  // namespace DEBUGGING
