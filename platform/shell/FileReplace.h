#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

#include <sys/types.h>

// Files replaced in one step: the new content goes to a temporary file beside the
// target, is flushed to disk with its mode set, and is renamed over the target. A
// reader never meets half a file, a failure leaves the old file as it was, and a
// program file can be replaced while the program runs (writing into a running
// executable fails; renaming over it does not, and the running copy keeps its own).
namespace wendra::shell {

// Writes the text as the file's whole content. The folder must exist.
std::error_code replaceFileWithText(const std::filesystem::path& target, std::string_view text, mode_t mode);
// Copies the source's bytes over the target. A missing source answers
// std::errc::no_such_file_or_directory and touches nothing.
std::error_code replaceFileWithCopy(const std::filesystem::path& source, const std::filesystem::path& target,
                                    mode_t mode);

}  // namespace wendra::shell
