#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/loaders/CFactoryLoader.h"
#include "support/LoggedWorkDir.h"

// Helpers of the hostile-input tests: reproducible junk, the committed fuzz
// inputs, and the check that a load through the loader factory either
// delivered a record or failed with exactly its loader's message.
namespace HostileInput {

// Bytes of a fixed pseudo-random sequence: the same files on every run.
inline std::string randomBytes(std::size_t count, std::uint32_t seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xff);
    return bytes;
}

// The files kept for one fuzz target: its seeds (fuzz/corpus/NAME) and the
// inputs of its findings (tests/data/fuzz/NAME), in name order.
inline std::vector<std::filesystem::path> fuzzInputs(const std::string& name)
{
    std::vector<std::filesystem::path> files;
    for (const std::string root : {VESK_SOURCE_DIR "/fuzz/corpus/", VESK_SOURCE_DIR "/tests/data/fuzz/"}) {
        const std::filesystem::path folder = root + name;
        if (!std::filesystem::is_directory(folder))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace HostileInput

// A logged working directory in which loads go through the loader factory.
class FactoryLoadTest : public LoggedWorkDir {
protected:
    void TearDown() override
    {
        VESK::CFactoryLoader::getInstance().clear();
        LoggedWorkDir::TearDown();
    }

    // Loads the file through the factory and checks the clean outcomes: a
    // record and nothing logged, or null and exactly one ERROR line holding
    // "<loader>::loadFromFile <file> [FAILED]". Returns the record, or null.
    void* loadCleanly(const std::string& file, const std::string& loader)
    {
        const std::size_t before = logBody().size();
        void* record = VESK::CFactoryLoader::loadFromFile(file);
        std::vector<std::string> lines = logBody();
        lines.erase(lines.begin(), lines.begin() + std::min(before, lines.size()));
        if (record != nullptr) {
            EXPECT_TRUE(lines.empty()) << file << ": " << lines.front();
        } else {
            EXPECT_EQ(lines.size(), 1u) << file;
            if (!lines.empty()) {
                EXPECT_TRUE(isFailureLine(lines[0], loader, file)) << file << ": " << lines[0].substr(0, 300);
            }
        }
        return record;
    }

    // True for the stamped ERROR line "<loader>::loadFromFile <file> [FAILED]",
    // alone or followed by a reason in parentheses.
    static bool isFailureLine(const std::string& line, const std::string& loader, const std::string& file)
    {
        const std::string expected = " -> [ ERROR ] " + loader + "::loadFromFile " + file + " [FAILED]";
        const std::size_t at = line.find(" -> [ ERROR ] ");
        if (at == std::string::npos || !isStampedLine(line.substr(0, at + expected.size()), expected))
            return false;
        const std::string reason = line.substr(at + expected.size());
        return reason.empty() || (reason.size() > 3 && reason.compare(0, 2, " (") == 0 && reason.back() == ')');
    }
};
