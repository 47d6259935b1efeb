#pragma once

#include <string>

namespace horavia {

// Loads shared modules by file name and looks up their entry points by name.
class ModuleLoader {
public:
    using Handle = void*;

    virtual ~ModuleLoader() = default;
    // Loads the module with this file name; null when it cannot be found or loaded.
    virtual Handle Load(const std::string& fileName) = 0;
    // The address of the named entry point; null when the module has none.
    virtual void* Resolve(Handle module, const char* name) = 0;
    // Releases a module that Load returned.
    virtual void Unload(Handle module) = 0;

    // The real loader: dlopen in the module folders (see ModuleLoader.cpp).
    static ModuleLoader& System();
};

} // namespace horavia
