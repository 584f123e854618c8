#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <unordered_set>
#include <vector>

// One frame of the scene tree: the meshes drawn at it, its child frames (owned)
// and its local matrix. The root, a static object of the viewer, also keeps the
// scene's distinct mesh names and the frame being filled while the scene file
// is read. Every other node is created by the reader and deleted by clear().
// Trees of any depth are walked with explicit stacks, never by recursion.
class CSceneNode {
public:
    CSceneNode();
    ~CSceneNode();

    CSceneNode(const CSceneNode&) = delete;
    CSceneNode& operator=(const CSceneNode&) = delete;

    // Deletes every frame below `node` (null: this node) and empties its mesh
    // names and children. A node other than this one is deleted too and taken
    // out of its parent's children.
    void clear(CSceneNode* node);

    // Root only: opens a new frame under the current one and makes it current.
    void addFrame();

    // Root only: adds the name to the current frame and, once, to allMeshNames.
    void addMeshName(const std::string& name);

    // Root only: reads the scene file into this tree, replacing what it held.
    // A file that cannot be opened prints "SceneGraph file not found!" on
    // standard output and leaves the tree empty.
    void loadSceneGraph(const std::string& fileName);

    // Root only: reads the bytes of a scene file, as loadSceneGraph reads the
    // file, into this tree, replacing what it held.
    void readSceneGraph(const char* bytes, std::size_t size);

    std::vector<std::string> allMeshNames;
    std::vector<std::string> meshNames;
    std::vector<CSceneNode*> children;
    float transform[16];
    CSceneNode* parent;
    CSceneNode* current;

private:
    void clearForReading();
    void readLines(std::istream& in);

    // Mirrors allMeshNames so that scenes with many names are read in linear time.
    std::unordered_set<std::string> knownMeshNames;
};
