#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

// The folder the inputs are written to: shared memory when the system has it,
// since rewriting a file on disk for every input costs more than most loads.
inline const char* fuzzTemporaryFolder()
{
    struct stat status;
    return ::stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode) ? "/dev/shm/" : "/tmp/";
}

// The readers under fuzzing take file names: each input is written to a file
// of this process's own in the temporary folder, overwritten by the next one.
inline std::string writeFuzzInput(const std::uint8_t* data, std::size_t size, const std::string& suffix)
{
    static const std::string prefix = fuzzTemporaryFolder() + std::string("vesk-fuzz-") + std::to_string(getpid());
    const std::string path = prefix + suffix;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}
