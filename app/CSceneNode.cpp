#include "CSceneNode.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "engine/loaders/StringUtils.h"

namespace {

constexpr float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The first word of a line, or an empty text when the line is blank.
std::string firstWord(const std::string& line)
{
    std::size_t start = 0;
    while (start < line.size() && VESK::isWordSpace(line[start]))
        ++start;
    std::size_t end = start;
    while (end < line.size() && !VESK::isWordSpace(line[end]))
        ++end;
    return line.substr(start, end - start);
}

// Reads the comma-separated numbers of a matrix line into the first elements of
// the matrix, each as atof reads it; numbers beyond the sixteenth are ignored.
void readMatrix(const std::string& word, float* matrix)
{
    std::size_t start = 0;
    for (int element = 0; element < 16; ++element) {
        const std::size_t comma = word.find(',', start);
        matrix[element] = static_cast<float>(std::atof(word.substr(start, comma - start).c_str()));
        if (comma == std::string::npos)
            return;
        start = comma + 1;
    }
}

}  // namespace

CSceneNode::CSceneNode() : parent(nullptr), current(this)
{
    std::copy(identity, identity + 16, transform);
}

CSceneNode::~CSceneNode()
{
    clear(nullptr);
}

void CSceneNode::clear(CSceneNode* node)
{
    CSceneNode* top = node == nullptr ? this : node;
    std::vector<CSceneNode*> doomed;
    doomed.swap(top->children);
    top->meshNames.clear();
    if (top != this) {
        if (top->parent != nullptr) {
            std::vector<CSceneNode*>& siblings = top->parent->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), top), siblings.end());
        }
        doomed.push_back(top);
    }
    // A current frame that is deleted falls back to this node, so the reader
    // never fills a deleted frame.
    while (!doomed.empty()) {
        CSceneNode* frame = doomed.back();
        doomed.pop_back();
        doomed.insert(doomed.end(), frame->children.begin(), frame->children.end());
        frame->children.clear();
        if (frame == current)
            current = this;
        delete frame;
    }
}

void CSceneNode::addFrame()
{
    CSceneNode* frame = new CSceneNode();
    frame->parent = current;
    current->children.push_back(frame);
    current = frame;
}

void CSceneNode::addMeshName(const std::string& name)
{
    current->meshNames.push_back(name);
    if (knownMeshNames.insert(name).second)
        allMeshNames.push_back(name);
}

void CSceneNode::clearForReading()
{
    clear(nullptr);
    current = this;
    allMeshNames.clear();
    knownMeshNames.clear();
}

void CSceneNode::readSceneGraph(const char* bytes, std::size_t size)
{
    // A stream over the bytes where they lie: no copy, whatever their size.
    struct ByteBuffer : std::streambuf {
        ByteBuffer(const char* first, std::size_t count)
        {
            char* begin = const_cast<char*>(first);
            setg(begin, begin, begin + count);
        }
    } buffer(bytes, size);
    std::istream in(&buffer);
    clearForReading();
    readLines(in);
}

void CSceneNode::loadSceneGraph(const std::string& fileName)
{
    clearForReading();

    // Only a regular file: a FIFO would block the open, and a device such as
    // /dev/zero would be read for ever.
    std::error_code error;
    std::ifstream file;
    if (std::filesystem::is_regular_file(fileName, error))
        file.open(fileName, std::ios::binary);
    if (!file.is_open()) {
        std::cout << "SceneGraph file not found!" << std::endl;
        return;
    }
    readLines(file);
}

void CSceneNode::readLines(std::istream& file)
{
    bool matrixOpen = false;
    std::string line;
    bool firstLine = true;
    while (std::getline(file, line)) {
        if (firstLine && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        firstLine = false;

        const std::string keyword = firstWord(line);
        if (keyword.empty())
            continue;
        if (keyword == "Frame") {
            addFrame();
            const std::vector<std::string> words = VESK::splitWords(line);
            if (words.size() >= 2 && words[1] != "{")
                addMeshName(words[1]);
        } else if (keyword == "FrameTransformMatrix") {
            matrixOpen = true;
        } else if (keyword == "Mesh") {
            while (std::getline(file, line) && firstWord(line) != "}") {
            }
        } else if (keyword == "}") {
            if (matrixOpen)
                matrixOpen = false;
            else if (current->parent != nullptr)
                current = current->parent;
        } else {
            readMatrix(keyword, current->transform);
        }
    }
}
