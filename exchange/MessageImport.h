#pragma once

// What becomes of each message the framer cuts: a copy in its file, for whoever
// wants to see what the device sent, and a read by the calendar reader, whose
// end events go to the listener and host the owner of the exchange gives.
//
// The read works on the message in memory. The copy is a diagnostic only: a
// folder that cannot be written loses the copy, never the message.

#include <filesystem>
#include <functional>
#include <memory>

#include "exchange/MessageFramer.h"
#include "exchange/clsImportLog.h"
#include "exchange/iCalImport.h"

namespace wendra {

// Writes the message and CR LF into its kind's file in `folder` (created when
// missing), in place of an older copy. False when the copy could not be made
// whole; an empty folder keeps no copy and answers false.
bool extractToFile(const std::filesystem::path& folder, const FramedMessage& message);

class MessageImport {
public:
    MessageImport(iCalImportListener& listener, iCalImportHost& host) : listener_(listener), host_(host) {}

    // Reads one message with the reader operation of its kind, under a log of
    // its own. Each message but a confirmation gets a new reader; a confirmation
    // is read by the reader of the message before it (which knows the device's
    // calendar), or by a new one when it is the first. A cancel is not read.
    // True when the message's block was seen.
    bool import(const FramedMessage& message);

    bool importSyncTime(std::string_view text);
    bool importSyncData(std::string_view text);
    bool importVCal(std::string_view text);
    bool importConfirmation(std::string_view text);

    // The reader of the last message read; nullptr before the first.
    const iCalImport* moImport() const { return moImport_.get(); }

    // Makes the log of each read; by default one that keeps nothing.
    std::function<std::unique_ptr<clsImportLog>()> newLog;

private:
    iCalImport& freshReader();
    iCalImport& currentReader();
    template <typename Read>
    bool underLog(Read&& read);

    iCalImportListener& listener_;
    iCalImportHost& host_;
    std::unique_ptr<iCalImport> moImport_;
};

}  // namespace wendra
