// Preload library for the end-to-end tests: wraps glGetString so that the
// GL_EXTENSIONS string leaves out the one extension named by the environment
// variable VESK_HIDE_EXTENSION, to drive the viewer down its fatal start-up
// path on a driver that has every extension (Mesa cannot switch these off).
#include <GL/gl.h>

#include <dlfcn.h>

#include <cstdlib>
#include <string>

extern "C" const GLubyte* glGetString(GLenum name)
{
    using GetString = const GLubyte* (*)(GLenum);
    static const GetString real = reinterpret_cast<GetString>(dlsym(RTLD_NEXT, "glGetString"));
    const GLubyte* value = real != nullptr ? real(name) : nullptr;
    const char* hidden = std::getenv("VESK_HIDE_EXTENSION");
    if (name != GL_EXTENSIONS || value == nullptr || hidden == nullptr || *hidden == '\0')
        return value;

    // Rebuilt on every call (the viewer asks once); the pointer stays valid
    // until the next call, as the driver's own string would.
    static std::string filtered;
    filtered.clear();
    const std::string all(reinterpret_cast<const char*>(value));
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find(' ', start);
        if (end == std::string::npos)
            end = all.size();
        const std::string word = all.substr(start, end - start);
        if (!word.empty() && word != hidden) {
            if (!filtered.empty())
                filtered += ' ';
            filtered += word;
        }
        start = end + 1;
    }
    return reinterpret_cast<const GLubyte*>(filtered.c_str());
}
