#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

// The readers under fuzzing take file names: each input is written to a file
// of this process's own in the temporary folder, overwritten by the next one.
inline std::string writeFuzzInput(const std::uint8_t* data, std::size_t size, const std::string& suffix)
{
    const std::string path = "/tmp/vesk-fuzz-" + std::to_string(getpid()) + suffix;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}
