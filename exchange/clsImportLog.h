#pragma once

// Where the reader reports what it skipped or changed. The log itself keeps
// nothing; the program hands its warnings and errors on (clsNotingImportLog) to
// where its other notes on the exchange go, and tests record them.

#include <functional>
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

// Each warning and error as one line of text to `note`: what was wrong, with the
// excerpt it was found in.
class clsNotingImportLog final : public clsImportLog {
public:
    explicit clsNotingImportLog(std::function<void(const std::string&)> note) : note_(std::move(note)) {}
    void writeLog(int nLogType, const std::string& sMessage, const std::string& sAdditionalInfo,
                  const ImportError* oErr = nullptr) override;

private:
    std::function<void(const std::string&)> note_;
};

}  // namespace wendra
