#pragma once

#include <link.h>

#include <cstdlib>
#include <string>

// The LD_PRELOAD value for a child process that is to run with `library`
// preloaded. In a sanitizer build the sanitizer's runtime has to come first
// (otherwise it cannot intercept thread creation and exit handlers, and the
// child crashes in its leak check), and whatever this process was started
// with stays (`make asan` preloads Mesa's driver so that its leaks stay
// attributable).
inline std::string preloadListWith(const std::string& library)
{
    std::string list;
#if defined(__SANITIZE_ADDRESS__)
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            const std::string name = info->dlpi_name;
            if (name.find("/libasan.so") == std::string::npos)
                return 0;
            *static_cast<std::string*>(found) = name;
            return 1;
        },
        &list);
#endif
    if (const char* inherited = std::getenv("LD_PRELOAD"))
        list += (list.empty() ? "" : " ") + std::string(inherited);
    return list + (list.empty() ? "" : " ") + library;
}
