#include "exchange/clsImportLog.h"

namespace wendra {

void clsImportLog::writeLog(int, const std::string&, const std::string&, const ImportError*) {}

}  // namespace wendra
