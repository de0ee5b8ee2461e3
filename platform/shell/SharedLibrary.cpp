#include "platform/shell/SharedLibrary.h"

#include <dlfcn.h>

#include <utility>

#include "platform/shell/ComponentRegistry.h"

namespace wendra::shell {

SharedLibrary::SharedLibrary(const std::filesystem::path& file, Unload unload) {
    handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | (unload == Unload::Never ? RTLD_NODELETE : 0));
    if (handle_ == nullptr) {
        const char* why = ::dlerror();
        error_ = why != nullptr ? why : file.string() + ": cannot be loaded";
    }
}

SharedLibrary::SharedLibrary(NotLoaded, std::string error) : error_(std::move(error)) {}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) ::dlclose(handle_);
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) ::dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

void* SharedLibrary::symbol(const char* name) const {
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

SharedLibrary loadRegisteredLibrary(const ComponentRegistry& registry, std::string_view classId) {
    const auto library = registry.libraryOf(classId);
    if (!library) return SharedLibrary(SharedLibrary::NotLoaded{}, std::string(classId) + " is not registered in " + registry.file().string());
    return SharedLibrary(*library);
}

}  // namespace wendra::shell
