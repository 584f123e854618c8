// A preload library (LD_PRELOAD) that makes one call of the C library fail,
// to test how a program reports a failure that a machine seldom gives (a
// full disc, no process left to fork, a read broken off) and that it cleans
// up after it. VESK_FAIL="CALL N ERRNO" fails the Nth call of CALL (1 is the
// first) with the error number ERRNO. The variable is taken out of the
// environment when the library loads, so the programs started by the one
// under test run untouched.

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

char failingCall[32];
long failingCallNumber = 0;
int failingError = 0;
std::atomic<long> callsSoFar{0};

__attribute__((constructor)) void readFailingCall()
{
    if (const char* wanted = std::getenv("VESK_FAIL")) {
        if (std::sscanf(wanted, "%31s %ld %d", failingCall, &failingCallNumber, &failingError) != 3)
            failingCallNumber = 0;
        unsetenv("VESK_FAIL");
    }
}

// True when this call of `call` is the one to fail; errno is then set.
bool failsNow(const char* call)
{
    if (failingCallNumber <= 0 || std::strcmp(call, failingCall) != 0 || ++callsSoFar != failingCallNumber)
        return false;
    errno = failingError;
    return true;
}

template <typename Function>
Function* next(const char* name)
{
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// Each wrapper fails as its call fails (the value the manual gives for an
// error) or hands the call on to the C library.
#define VESK_FAILING_CALL(Result, name, failed, parameters, arguments) \
    extern "C" Result name parameters                                  \
    {                                                                  \
        static const auto real = next<Result parameters>(#name);      \
        if (failsNow(#name))                                           \
            return failed;                                             \
        return real arguments;                                         \
    }

VESK_FAILING_CALL(pid_t, fork, -1, (), ())
VESK_FAILING_CALL(int, pipe2, -1, (int ends[2], int flags), (ends, flags))
VESK_FAILING_CALL(int, mkdirat, -1, (int folder, const char* path, mode_t mode), (folder, path, mode))
VESK_FAILING_CALL(int, symlinkat, -1, (const char* target, int folder, const char* path), (target, folder, path))
VESK_FAILING_CALL(DIR*, fdopendir, nullptr, (int descriptor), (descriptor))
VESK_FAILING_CALL(std::FILE*, fdopen, nullptr, (int descriptor, const char* mode), (descriptor, mode))
VESK_FAILING_CALL(std::size_t, fwrite, 0, (const void* data, std::size_t size, std::size_t count, std::FILE* file),
                  (data, size, count, file))
VESK_FAILING_CALL(ssize_t, read, -1, (int descriptor, void* data, std::size_t size), (descriptor, data, size))
VESK_FAILING_CALL(ssize_t, readlink, -1, (const char* path, char* text, std::size_t size), (path, text, size))

// A stream whose close fails is closed all the same, as the C library does.
extern "C" int fclose(std::FILE* file)
{
    static const auto real = next<int(std::FILE*)>("fclose");
    const int closed = real(file);
    return failsNow("fclose") ? EOF : closed;
}

extern "C" int openat(int folder, const char* path, int flags, ...)
{
    static const auto real = next<int(int, const char*, int, ...)>("openat");
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        std::va_list rest;
        va_start(rest, flags);
        mode = va_arg(rest, mode_t);
        va_end(rest);
    }
    if (failsNow("openat"))
        return -1;
    return real(folder, path, flags, mode);
}
