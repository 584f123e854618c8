#include "SceneFolder.h"

#include <cstdio>
#include <fstream>
#include <system_error>
#include <utility>

SceneFolder::SceneFolder(std::filesystem::path folder)
    : root(std::move(folder))
{
}

SceneFolder::Link SceneFolder::link(const std::string& name, const std::filesystem::path& file)
{
    const auto found = links.find(name);
    if (found != links.end())
        return found->second == file ? Link::present : Link::taken;
    const std::filesystem::path at = root / "Data" / name;
    std::error_code error;
    std::filesystem::create_directories(at.parent_path(), error);
    if (!error)
        std::filesystem::create_symlink(file, at, error);
    if (error) {
        lastError = error.message();
        return Link::failed;
    }
    links.emplace(name, file);
    return Link::made;
}

bool SceneFolder::writeScene(const std::vector<std::string>& meshNames, const SceneLayout& layout)
{
    std::ofstream scene(root / "SceneGraph.sg", std::ios::binary | std::ios::trunc);
    for (std::size_t i = 0; i < meshNames.size(); ++i) {
        // Nine significant digits read back as the same 32-bit float.
        std::string line;
        for (const float element : layout.frameMatrix(i)) {
            char number[32];
            std::snprintf(number, sizeof(number), "%.9g,", double(element));
            line += number;
        }
        line.back() = ';';
        scene << "Frame " << meshNames[i] << " {\n  FrameTransformMatrix {\n    " << line << ";\n  }\n}\n";
    }
    scene.close();
    return !scene.fail();
}
