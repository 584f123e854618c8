#include "TemporaryFolder.h"

#include <stdlib.h>

#include <string>
#include <system_error>

TemporaryFolder::TemporaryFolder()
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        return;
    std::string pattern = (base / "vesk-view-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
        folder = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    if (created())
        std::filesystem::remove_all(folder, ignored);
}
