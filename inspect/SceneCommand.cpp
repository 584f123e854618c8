#include <iostream>
#include <sstream>
#include <utility>
#include <vector>

#include "Commands.h"
#include "JsonWriter.h"
#include "app/CSceneNode.h"
#include "debugging/Logging.h"

namespace {

void writeNames(JsonWriter& json, const std::vector<std::string>& names)
{
    json.beginArray();
    for (const std::string& name : names)
        json.value(name);
    json.endArray();
}

// Opens a node's object up to its "children" array; the caller closes both.
void openNode(JsonWriter& json, const CSceneNode& node)
{
    json.beginObject();
    json.key("meshNames");
    writeNames(json, node.meshNames);
    json.key("transform");
    json.beginArray();
    for (const float element : node.transform)
        json.value(element);
    json.endArray();
    json.key("children");
    json.beginArray();
}

// Writes the tree depth first with an explicit stack, so that scenes of any
// depth are printed.
void writeTree(JsonWriter& json, const CSceneNode& root)
{
    std::vector<std::pair<const CSceneNode*, std::size_t>> open;
    openNode(json, root);
    open.emplace_back(&root, 0);
    while (!open.empty()) {
        auto& [node, next] = open.back();
        if (next < node->children.size()) {
            const CSceneNode* child = node->children[next++];
            openNode(json, *child);
            open.emplace_back(child, 0);
        } else {
            json.endArray();
            json.endObject();
            open.pop_back();
        }
    }
}

}  // namespace

int inspectScene(const std::string& file)
{
    CSceneNode root;
    std::ostringstream printed;
    std::streambuf* kept = std::cout.rdbuf(printed.rdbuf());
    root.loadSceneGraph(file);
    std::cout.rdbuf(kept);
    if (!printed.str().empty()) {
        std::istringstream lines(printed.str());
        for (std::string line; std::getline(lines, line);)
            DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, line);
        return 1;
    }
    JsonWriter json(std::cout);
    json.beginObject();
    json.key("allMeshNames");
    writeNames(json, root.allMeshNames);
    json.key("root");
    writeTree(json, root);
    json.endObject();
    std::cout << '\n';
    return 0;
}
