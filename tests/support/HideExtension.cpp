// A preload library (LD_PRELOAD) that changes what a program sees of the GL
// strings, to test how it reacts to a context that lacks something.
// VESK_HIDE names what is missing: an extension, left out of
// glGetString(GL_EXTENSIONS); "*", the whole extension string (null);
// "GL_VERSION", the version string (null). Both the linked glGetString and
// the one handed out by glXGetProcAddressARB are wrapped, so GLEW sees the
// same strings as the program.

#include <dlfcn.h>

#include <GL/gl.h>

#include <cstdlib>
#include <string>

extern "C" const GLubyte* glGetString(GLenum name)
{
    static const auto real = reinterpret_cast<const GLubyte* (*)(GLenum)>(dlsym(RTLD_NEXT, "glGetString"));
    static std::string kept;
    const std::string hidden = std::getenv("VESK_HIDE") != nullptr ? std::getenv("VESK_HIDE") : "";
    const GLubyte* text = real(name);
    if (name == GL_VERSION && hidden == "GL_VERSION")
        return nullptr;
    if (name != GL_EXTENSIONS || hidden.empty())
        return text;
    if (hidden == "*" || text == nullptr)
        return nullptr;
    kept = " " + std::string(reinterpret_cast<const char*>(text)) + " ";
    for (std::size_t at; (at = kept.find(" " + hidden + " ")) != std::string::npos;)
        kept.erase(at, hidden.size() + 1);
    return reinterpret_cast<const GLubyte*>(kept.c_str());
}

extern "C" void (*glXGetProcAddressARB(const GLubyte* procedure))()
{
    static const auto real = reinterpret_cast<void (*(*)(const GLubyte*))()>(dlsym(RTLD_NEXT, "glXGetProcAddressARB"));
    if (std::string(reinterpret_cast<const char*>(procedure)) == "glGetString")
        return reinterpret_cast<void (*)()>(&glGetString);
    return real(procedure);
}
