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

private:
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path directory;
};

// The text with the time stamp that starts each log line (hour, minute and
// second without leading zeros) replaced by "T".
inline std::string unstamped(const std::string& text)
{
    static const std::regex stamp("(^|\n)([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9]):([0-9]|[1-5][0-9]|60) -> ");
    return std::regex_replace(text, stamp, "$1T -> ");
}

// A closed log file as CLog writes it, with "T" for each time stamp.
inline std::string logText(const std::string& name, const std::vector<std::string>& lines)
{
    std::string text = "LOG NAME : " + name + "\n\nT -> -- LOGGING START --\n";
    for (const std::string& line : lines)
        text += "T -> " + line + "\n";
    return text + "T -> -- LOGGING STOP --\n";
}

// Escapes a literal text for use inside a regular expression.
inline std::string regexQuote(const std::string& text)
{
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}
