#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace wendra::shell {

class ComponentRegistry;

// A shared object loaded into this process, unloaded when the handle goes. A name
// without a "/" is looked up where the dynamic loader looks (a system library by its
// soname, "libQt6SerialPort.so.6"); a path is that file. Every symbol is bound at
// once, so a library missing one of its own dependencies fails here and not later.
class SharedLibrary {
public:
    enum class Unload {
        WithTheHandle,
        // Never: the library stays for the life of the process, as a library that
        // keeps state of its own past its last use (Qt's do) wants.
        Never,
    };
    explicit SharedLibrary(const std::filesystem::path& file, Unload unload = Unload::WithTheHandle);
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // Why it did not load, as the dynamic loader words it.
    const std::string& error() const { return error_; }
    // The address of a symbol; null when the library has none of that name.
    void* symbol(const char* name) const;

private:
    struct NotLoaded {};
    SharedLibrary(NotLoaded, std::string error);
    friend SharedLibrary loadRegisteredLibrary(const ComponentRegistry&, std::string_view);
    void* handle_ = nullptr;
    std::string error_;
};

// The library the registration names for a class, loaded; a class that is not
// registered answers a handle that did not load, saying so.
SharedLibrary loadRegisteredLibrary(const ComponentRegistry& registry, std::string_view classId);

}  // namespace wendra::shell
