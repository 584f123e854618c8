#pragma once

#include <filesystem>

// A fresh folder of its own in the system's temporary folder ($TMPDIR, or
// /tmp), created by the constructor and removed with everything in it by the
// destructor (links are removed, never followed). Not copyable: it owns the folder.
class TemporaryFolder {
public:
    // Check created() afterwards: the folder may not be creatable.
    TemporaryFolder();
    ~TemporaryFolder();

    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    bool created() const { return !folder.empty(); }
    const std::filesystem::path& path() const { return folder; }

private:
    std::filesystem::path folder;
};
