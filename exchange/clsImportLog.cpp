#include "exchange/clsImportLog.h"

namespace wendra {

void clsImportLog::writeLog(int, const std::string&, const std::string&, const ImportError*) {}

void clsNotingImportLog::writeLog(int nLogType, const std::string& sMessage, const std::string& sAdditionalInfo,
                                  const ImportError* oErr) {
    if (nLogType < kWarning || !note_) return;
    std::string line = (nLogType == kError ? "read error: " : "read warning: ") + sMessage;
    if (!sAdditionalInfo.empty()) line += ": " + sAdditionalInfo;
    if (oErr != nullptr && !oErr->description.empty()) line += " (" + oErr->description + ")";
    note_(line);
}

}  // namespace wendra
