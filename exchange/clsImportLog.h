#pragma once

// Where the reader reports what it skipped or changed. In this program the log
// keeps nothing: it only takes the messages, which nobody sees. Tests and
// diagnostics derive from it to record them.

#include <string>

namespace wendra {

// What went wrong inside a read, when something did.
struct ImportError {
    long number = 0;
    std::string description;
    std::string source;
};

class clsImportLog {
public:
    // Log types.
    static constexpr int kInfo = 0;
    static constexpr int kWarning = 1;
    static constexpr int kError = 2;

    virtual ~clsImportLog() = default;
    virtual bool startLog() { return true; }
    virtual void writeLog(int nLogType, const std::string& sMessage, const std::string& sAdditionalInfo,
                          const ImportError* oErr = nullptr);
    virtual void closeLog() {}
};

}  // namespace wendra
