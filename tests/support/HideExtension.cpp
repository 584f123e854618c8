// A preload library (LD_PRELOAD) that changes what a program sees of the GL
// strings, to test how the program reacts to a context that lacks something:
//   VESK_HIDE_EXTENSION=name  leaves the extension name out of
//                             glGetString(GL_EXTENSIONS); "*" makes the whole
//                             extension string null;
//   VESK_HIDE_VERSION=1       makes glGetString(GL_VERSION) null.
// Both the linked glGetString and the one handed out by glXGetProcAddress
// are wrapped, so GLEW sees the same strings as the program.

#include <dlfcn.h>

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

using GetString = const GLubyte* (*)(GLenum);
using GetProcAddress = void (*(*)(const GLubyte*))();

GetString realGetString()
{
    static const GetString real = reinterpret_cast<GetString>(dlsym(RTLD_NEXT, "glGetString"));
    return real;
}

const GLubyte* filteredExtensions(const GLubyte* all, const char* hidden)
{
    if (std::strcmp(hidden, "*") == 0 || all == nullptr)
        return nullptr;
    static std::string kept;
    kept.clear();
    std::istringstream words(reinterpret_cast<const char*>(all));
    for (std::string word; words >> word;)
        if (word != hidden)
            kept += word + " ";
    return reinterpret_cast<const GLubyte*>(kept.c_str());
}

}  // namespace

extern "C" const GLubyte* glGetString(GLenum name)
{
    const char* hiddenExtension = std::getenv("VESK_HIDE_EXTENSION");
    const char* hideVersion = std::getenv("VESK_HIDE_VERSION");
    if (name == GL_VERSION && hideVersion != nullptr && std::strcmp(hideVersion, "1") == 0)
        return nullptr;
    const GLubyte* text = realGetString()(name);
    if (name == GL_EXTENSIONS && hiddenExtension != nullptr)
        return filteredExtensions(text, hiddenExtension);
    return text;
}

namespace {

void (*lookUp(const char* symbol, const GLubyte* procedure))()
{
    if (std::strcmp(reinterpret_cast<const char*>(procedure), "glGetString") == 0)
        return reinterpret_cast<void (*)()>(&glGetString);
    const GetProcAddress real = reinterpret_cast<GetProcAddress>(dlsym(RTLD_NEXT, symbol));
    return real == nullptr ? nullptr : real(procedure);
}

}  // namespace

extern "C" void (*glXGetProcAddressARB(const GLubyte* procedure))()
{
    return lookUp("glXGetProcAddressARB", procedure);
}

extern "C" void (*glXGetProcAddress(const GLubyte* procedure))()
{
    return lookUp("glXGetProcAddress", procedure);
}
