#include "VLoader.h"

#include <utility>

namespace VESK {

VLoader::VLoader(std::string extensionList) : extensions(std::move(extensionList)) {}

VLoader::~VLoader() = default;

}  // namespace VESK
