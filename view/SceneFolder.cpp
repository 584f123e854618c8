#include "SceneFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "app/ViewerSetup.h"

namespace fs = std::filesystem;

namespace {

// The longest name of one file or folder.
constexpr std::size_t longestName = 255;

// 0 when the folder holds nothing, ENOTEMPTY when it holds something, else
// the error that kept it from being read.
int emptiness(int descriptor)
{
    const int copy = ::dup(descriptor);
    DIR* folder = copy < 0 ? nullptr : ::fdopendir(copy);
    if (folder == nullptr) {
        const int error = errno;
        if (copy >= 0)
            ::close(copy);
        return error;
    }
    bool empty = true;
    while (const dirent* entry = ::readdir(folder))
        empty = empty && (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0);
    ::closedir(folder);
    return empty ? 0 : ENOTEMPTY;
}

}  // namespace

SceneFolder::~SceneFolder()
{
    if (rootDescriptor >= 0)
        ::close(rootDescriptor);
}

bool SceneFolder::failWith(const std::string& what)
{
    lastError = what;
    return false;
}

bool SceneFolder::open(const fs::path& folder)
{
    root = folder;
    std::error_code ignored;
    if (folder.has_parent_path())
        fs::create_directories(folder.parent_path(), ignored);
    if (::mkdir(folder.c_str(), 0777) == 0)
        madeRoot = true;
    else if (errno != EEXIST)
        return failWith("cannot create " + folder.string() + ": " + std::strerror(errno));
    // Not followed if it is a link: the folder checked is the one written to.
    rootDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status;
    if (rootDescriptor < 0 && ::lstat(folder.c_str(), &status) == 0 && S_ISLNK(status.st_mode))
        return failWith(folder.string() + " is a symbolic link; name the folder itself");
    const int emptyOrNot = rootDescriptor < 0 ? ENOTEMPTY : emptiness(rootDescriptor);
    if (emptyOrNot == ENOTEMPTY)
        return failWith(folder.string() + " is not an empty folder");
    if (emptyOrNot != 0)
        return failWith("cannot read " + folder.string() + ": " + std::strerror(emptyOrNot));
    return true;
}

std::string SceneFolder::normal(const std::string& name)
{
    return fs::path(name).lexically_normal().string();
}

SceneFolder::Link SceneFolder::claim(const std::string& name, const fs::path& file)
{
    const std::string path = normal(name);
    if (path.empty() || path[0] == '/' || path == ".." || path.compare(0, 3, "../") == 0) {
        lastError = name + " leads out of the folder";
        return Link::failed;
    }
    const auto found = taken.find(path);
    if (found == taken.end())
        return Link::made;
    std::error_code error;
    return found->second == file || fs::equivalent(found->second, file, error) ? Link::present : Link::taken;
}

int SceneFolder::parentOf(const fs::path& path)
{
    int folder = rootDescriptor;
    fs::path made;
    for (const fs::path& part : path.parent_path()) {
        made /= part;
        const bool madeNow = ::mkdirat(folder, part.c_str(), 0777) == 0;
        // A folder that could not be made is named by its own error, not by the open that follows.
        const int makeError = madeNow || errno == EEXIST ? 0 : errno;
        if (madeNow)
            written.push_back(made);
        const int next = ::openat(folder, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int error = next < 0 && makeError != 0 ? makeError : errno;
        if (folder != rootDescriptor)
            ::close(folder);
        if (next < 0) {
            lastError = std::strerror(error == ELOOP ? ENOTDIR : error);
            return -1;
        }
        folder = next;
    }
    return folder;
}

SceneFolder::Link SceneFolder::link(const std::string& name, const fs::path& file)
{
    const Link claimed = claim(name, file);
    if (claimed != Link::made)
        return claimed;
    const fs::path path = fs::path(ViewerSetup::dataFolder) / normal(name);
    const int folder = parentOf(path);
    if (folder < 0)
        return Link::failed;
    const int result = ::symlinkat(file.c_str(), folder, path.filename().c_str());
    const int error = errno;
    if (folder != rootDescriptor)
        ::close(folder);
    if (result != 0) {
        lastError = std::strerror(error);
        return Link::failed;
    }
    written.push_back(path);
    taken.emplace(normal(name), file);
    return Link::made;
}

SceneFolder::Link SceneFolder::write(const std::string& name, const fs::path& source,
                                     const std::function<bool(std::FILE*)>& write)
{
    const Link claimed = claim(name, source);
    if (claimed != Link::made)
        return claimed;
    if (!writeFile(fs::path(ViewerSetup::dataFolder) / normal(name), write))
        return Link::failed;
    taken.emplace(normal(name), source);
    return Link::made;
}

bool SceneFolder::writeFile(const fs::path& path, const std::function<bool(std::FILE*)>& write)
{
    const int folder = parentOf(path);
    if (folder < 0)
        return false;
    const int descriptor = ::openat(folder, path.filename().c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    const int openError = errno;
    if (folder != rootDescriptor)
        ::close(folder);
    if (descriptor < 0)
        return failWith(std::strerror(openError));
    std::FILE* file = ::fdopen(descriptor, "w");
    if (file == nullptr) {
        ::close(descriptor);
        return removeUnfinished(path, ENOMEM);
    }
    errno = 0;
    const bool complete = write(file);
    const int writeError = errno;
    if (std::fclose(file) != 0 || !complete)
        return removeUnfinished(path, writeError != 0 ? writeError : errno != 0 ? errno : EIO);
    written.push_back(path);
    return true;
}

bool SceneFolder::removeUnfinished(const fs::path& path, int error)
{
    ::unlinkat(rootDescriptor, path.c_str(), 0);
    return failWith(std::strerror(error));
}

bool SceneFolder::linkAtTop(const std::string& name, const fs::path& file)
{
    if (::symlinkat(file.c_str(), rootDescriptor, name.c_str()) != 0)
        return failWith(std::strerror(errno));
    written.push_back(name);
    return true;
}

std::string SceneFolder::freeName(const std::string& name, const fs::path& file) const
{
    const fs::path path(normal(name));
    const std::string folder = path.has_parent_path() ? path.parent_path().string() + "/" : "";
    const std::string stem = path.stem().string(), extension = path.extension().string();
    for (int n = 1;; ++n) {
        const std::string suffix = n == 1 ? "" : "-" + std::to_string(n);
        const std::size_t room = longestName - std::min(longestName, suffix.size() + extension.size());
        const std::string candidate = folder + stem.substr(0, room) + suffix + extension;
        const auto found = taken.find(candidate);
        std::error_code error;
        if (found == taken.end() || found->second == file || fs::equivalent(found->second, file, error))
            return candidate;
    }
}

bool SceneFolder::writeScene(const std::vector<std::string>& meshNames, const SceneLayout& layout)
{
    return writeFile(ViewerSetup::sceneFile, [&](std::FILE* scene) {
        for (std::size_t i = 0; i < meshNames.size(); ++i) {
            std::fprintf(scene, "Frame %s {\n  FrameTransformMatrix {\n    ", meshNames[i].c_str());
            // Nine significant digits read back as the same 32-bit float.
            const std::array<float, 16>& matrix = layout.frameMatrix(i);
            for (std::size_t k = 0; k < matrix.size(); ++k)
                std::fprintf(scene, "%.9g%s", double(matrix[k]), k + 1 < matrix.size() ? "," : ";;");
            std::fputs("\n  }\n}\n", scene);
        }
        return std::ferror(scene) == 0;
    });
}

void SceneFolder::removeWritten()
{
    for (auto path = written.rbegin(); path != written.rend(); ++path) {
        if (::unlinkat(rootDescriptor, path->c_str(), 0) != 0)
            ::unlinkat(rootDescriptor, path->c_str(), AT_REMOVEDIR);
    }
    written.clear();
    taken.clear();
    if (madeRoot)
        ::rmdir(root.c_str());
}
