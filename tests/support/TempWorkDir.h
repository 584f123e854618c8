#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Test fixture that runs each test in a fresh temporary working directory and
// removes it afterwards, with helpers to read and write the files there.
class TempWorkDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vesk-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory = pattern;
        std::filesystem::current_path(directory);
    }

    void TearDown() override
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(directory);
    }

    static std::string readFile(const std::string& path)
    {
        std::ostringstream bytes;
        bytes << std::ifstream(path, std::ios::binary).rdbuf();
        return bytes.str();
    }

    static void writeFile(const std::string& path, const std::string& bytes)
    {
        const std::filesystem::path target(path);
        if (target.has_parent_path())
            std::filesystem::create_directories(target.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static std::vector<std::string> readLines(const std::string& path)
    {
        std::vector<std::string> lines;
        std::istringstream in(readFile(path));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

private:
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path directory;
};

// A log line's time stamp: hour, minute and second without leading zeros.
inline const std::string& timeStampPattern()
{
    static const std::string pattern = "([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9]):([0-9]|[1-5][0-9]|60)";
    return pattern;
}

// Escapes a literal text for use inside a regular expression.
inline std::string regexQuote(const std::string& text)
{
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

// True when the line is a time stamp followed by exactly the given rest.
inline bool isStampedLine(const std::string& line, const std::string& rest)
{
    return std::regex_match(line, std::regex(timeStampPattern() + regexQuote(rest)));
}
