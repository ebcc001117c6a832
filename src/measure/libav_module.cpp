#include "measure/libav_module.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace quillmark {

namespace {

std::vector<std::filesystem::path> candidates()
{
    std::vector<std::filesystem::path> paths;
    if (const char* named = std::getenv("QUILLMARK_LIBAV_MODULE"); named && *named)
        paths.emplace_back(named);
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path folder = executable.parent_path();
        paths.push_back(folder / "quillmark_libav.so");
        paths.push_back(folder / QUILLMARK_MODULE_FROM_BINARY / "quillmark_libav.so");
    }
    return paths;
}

const LibavModule* load()
{
    for (const std::filesystem::path& path : candidates()) {
        // Never unloaded: its functions serve until the process ends.
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            continue;
        using Entry = const LibavModule* (*)();
        if (auto entry = reinterpret_cast<Entry>(::dlsym(handle, "quillmark_libav_module")))
            return entry();
        ::dlclose(handle);
    }
    return nullptr;
}

} // namespace

const LibavModule* libavModule()
{
    static const LibavModule* const module = load();
    return module;
}

} // namespace quillmark
