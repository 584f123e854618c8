#pragma once

// Base of the engine-wide services: each derived class T has exactly one
// instance, a function-local static built on the first getInstance() and
// destroyed at process exit in reverse order of construction. A constructor
// that throws leaves no instance behind, so the next call tries again.

namespace TOOLS {

template <class T>
class CSingleton {
public:
    virtual ~CSingleton() = default;

    // Closing hook, called once by the exit handler; the base does nothing.
    virtual void shutdown() {}

    static T& getInstance()
    {
        static T instance;
        return instance;
    }

protected:
    CSingleton() = default;
    CSingleton(const CSingleton&) = delete;
    CSingleton& operator=(const CSingleton&) = delete;
};

}  // namespace TOOLS
