#include "CException.h"

namespace DEBUGGING {

CException::CException(const std::string& text) : message(text) {}

CException::CException(const CException& other) : std::exception(other), message(other.message) {}

CException::~CException() = default;

const char* CException::what() const noexcept
{
    return message.c_str();
}

}  // namespace DEBUGGING
