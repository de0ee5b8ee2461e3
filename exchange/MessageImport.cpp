#include "exchange/MessageImport.h"

#include <fstream>
#include <system_error>

namespace wendra {

bool extractToFile(const std::filesystem::path& folder, const FramedMessage& message) {
    if (folder.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path file = folder / markerOf(message.kind).fileName;
    // The bytes as the device sent them: its 8-bit text, nothing translated. The older
    // copy is written over and then cut to the new length, not emptied first: a file
    // emptied and written again is put on the disk at once (the file system guards
    // programs that replace a file that way), which for thousands of messages took
    // longer than all the rest of their handling.
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    if (!out.is_open()) out.open(file, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!out) return false;
    out.write(message.text.data(), static_cast<std::streamsize>(message.text.size()));
    out.write("\r\n", 2);
    out.close();
    if (!out) return false;
    std::filesystem::resize_file(file, message.text.size() + 2, ec);
    return !ec;
}

iCalImport& MessageImport::freshReader() {
    moImport_ = std::make_unique<iCalImport>(listener_, host_);
    return *moImport_;
}

iCalImport& MessageImport::currentReader() { return moImport_ ? *moImport_ : freshReader(); }

template <typename Read>
bool MessageImport::underLog(Read&& read) {
    std::unique_ptr<clsImportLog> log = newLog ? newLog() : nullptr;
    if (!log) log = std::make_unique<clsImportLog>();
    log->startLog();
    const bool seen = read(*log);
    log->closeLog();
    return seen;
}

bool MessageImport::importSyncTime(std::string_view text) {
    iCalImport& reader = freshReader();
    return underLog([&](clsImportLog& log) { return reader.readSyncTime(text, log); });
}

bool MessageImport::importSyncData(std::string_view text) {
    iCalImport& reader = freshReader();
    return underLog([&](clsImportLog& log) { return reader.readSyncData(text, log); });
}

bool MessageImport::importVCal(std::string_view text) {
    iCalImport& reader = freshReader();
    return underLog([&](clsImportLog& log) { return reader.readVCal(text, log); });
}

bool MessageImport::importConfirmation(std::string_view text) {
    iCalImport& reader = currentReader();
    return underLog([&](clsImportLog& log) { return reader.Confirmation(text, log); });
}

bool MessageImport::import(const FramedMessage& message) {
    switch (message.kind) {
        case MessageKind::SyncTime: return importSyncTime(message.text);
        case MessageKind::SyncData: return importSyncData(message.text);
        case MessageKind::Confirm: return importConfirmation(message.text);
        case MessageKind::VCalendar: return importVCal(message.text);
        case MessageKind::SyncCancel: break;
    }
    return false;
}

}  // namespace wendra
