#include "store/clsSettings.h"

#include <cmath>
#include <limits>
#include <utility>

#include "store/DefaultFont.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr std::string_view kMain = "Main";
constexpr std::string_view kMode = "Mode";
constexpr std::string_view kView = "View";
constexpr std::string_view kOptions = "Options";
constexpr std::string_view kOutlook = "Outlook";

constexpr std::int32_t kAutoColumn = -9;
constexpr std::int16_t kUpdateVersionLast = 10001;

std::string flagText(bool value) { return value ? "True" : "False"; }

// A flag as the program has always stored it ("True", "False", any case) or as a
// number (non-zero is true); anything else is no flag.
std::optional<bool> parseFlag(std::string_view text) {
    const std::string t = toUpper(trim(text));
    if (t == "TRUE") return true;
    if (t == "FALSE") return false;
    if (const auto n = parseScientific(t)) return *n != 0;
    return std::nullopt;
}

// A whole number of type T: the text rounded half to even, nothing when it is
// not numeric or does not fit.
template <class T>
std::optional<T> parseWhole(std::string_view text) {
    const auto v = parseScientific(text);
    if (!v) return std::nullopt;
    const double r = std::nearbyint(*v);
    if (r < static_cast<double>(std::numeric_limits<T>::min()) || r > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

}  // namespace

clsSettings::clsSettings(settings::SettingsStore& store, std::string programFolder)
    : store_(&store), programFolder_(std::move(programFolder)) {}

// ---- reading and writing through the caches ---------------------------------

bool clsSettings::readFlag(std::optional<bool>& cache, Key key, bool defaultValue) const {
    if (!cache) {
        const auto text = store_->querySetting(AppName, key.section, key.key);
        cache = text ? parseFlag(*text).value_or(defaultValue) : defaultValue;
    }
    return *cache;
}

std::int32_t clsSettings::readLong(std::optional<std::int32_t>& cache, Key key, std::int32_t defaultValue) const {
    if (!cache) {
        const auto text = store_->querySetting(AppName, key.section, key.key);
        cache = text ? parseWhole<std::int32_t>(*text).value_or(defaultValue) : defaultValue;
    }
    return *cache;
}

std::int16_t clsSettings::readInteger(std::optional<std::int16_t>& cache, Key key, std::int16_t defaultValue) const {
    if (!cache) cache = readIntegerNow(key, defaultValue);
    return *cache;
}

std::int16_t clsSettings::readIntegerNow(Key key, std::int16_t defaultValue) const {
    const auto text = store_->querySetting(AppName, key.section, key.key);
    return text ? parseWhole<std::int16_t>(*text).value_or(defaultValue) : defaultValue;
}

std::string clsSettings::readText(std::optional<std::string>& cache, Key key, std::string_view defaultValue) const {
    if (!cache) cache = store_->getSetting(AppName, key.section, key.key, defaultValue);
    return *cache;
}

bool clsSettings::store(Key key, std::string_view text) { return store_->saveSetting(AppName, key.section, key.key, text); }

bool clsSettings::writeFlag(std::optional<bool>& cache, Key key, bool value) {
    cache = value;
    return store(key, flagText(value));
}

bool clsSettings::writeLong(std::optional<std::int32_t>& cache, Key key, std::int32_t value) {
    cache = value;
    return store(key, std::to_string(value));
}

bool clsSettings::writeInteger(std::optional<std::int16_t>& cache, Key key, std::int16_t value) {
    cache = value;
    return store(key, std::to_string(value));
}

bool clsSettings::writeText(std::optional<std::string>& cache, Key key, std::string_view value) {
    cache = std::string(value);
    return store(key, value);
}

// ---- "Main" and "Mode" ------------------------------------------------------

bool clsSettings::Installed() const { return readFlag(installed_, {kMain, "Installed"}, false); }
bool clsSettings::setInstalled(bool v) { return writeFlag(installed_, {kMain, "Installed"}, v); }

bool clsSettings::ModeWendraWin() const { return readFlag(modeWendraWin_, {kMode, "WendraWin"}, true); }
bool clsSettings::setModeWendraWin(bool v) { return writeFlag(modeWendraWin_, {kMode, "WendraWin"}, v); }
bool clsSettings::ModeOutlook() const { return readFlag(modeOutlook_, {kMode, "Outlook"}, false); }
bool clsSettings::setModeOutlook(bool v) { return writeFlag(modeOutlook_, {kMode, "Outlook"}, v); }
bool clsSettings::ModeSync() const { return readFlag(modeSync_, {kMode, "Sync"}, true); }
bool clsSettings::setModeSync(bool v) { return writeFlag(modeSync_, {kMode, "Sync"}, v); }

// ---- "View" -----------------------------------------------------------------

std::int32_t clsSettings::ViewDate() const { return readLong(viewDate_, {kView, "Date"}, kAutoColumn); }
bool clsSettings::setViewDate(std::int32_t v) { return writeLong(viewDate_, {kView, "Date"}, v); }
std::int32_t clsSettings::ViewDayOfWeek() const { return readLong(viewDayOfWeek_, {kView, "DayOfWeek"}, kAutoColumn); }
bool clsSettings::setViewDayOfWeek(std::int32_t v) { return writeLong(viewDayOfWeek_, {kView, "DayOfWeek"}, v); }
std::int32_t clsSettings::ViewWendra() const { return readLong(viewWendra_, {kView, "Wendra"}, kAutoColumn); }
bool clsSettings::setViewWendra(std::int32_t v) { return writeLong(viewWendra_, {kView, "Wendra"}, v); }
std::int32_t clsSettings::ViewTime() const { return readLong(viewTime_, {kView, "Time"}, kAutoColumn); }
bool clsSettings::setViewTime(std::int32_t v) { return writeLong(viewTime_, {kView, "Time"}, v); }

bool clsSettings::MergeDates() const { return readFlag(mergeDates_, {kView, "MergeDates"}, true); }
bool clsSettings::setMergeDates(bool v) { return writeFlag(mergeDates_, {kView, "MergeDates"}, v); }
bool clsSettings::MergeDaysOfWeek() const { return readFlag(mergeDaysOfWeek_, {kView, "MergeDaysOfWeek"}, true); }
bool clsSettings::setMergeDaysOfWeek(bool v) { return writeFlag(mergeDaysOfWeek_, {kView, "MergeDaysOfWeek"}, v); }
bool clsSettings::MergeWendra() const { return readFlag(mergeWendra_, {kView, "MergeWendra"}, true); }
bool clsSettings::setMergeWendra(bool v) { return writeFlag(mergeWendra_, {kView, "MergeWendra"}, v); }
bool clsSettings::ViewHeadings() const { return readFlag(viewHeadings_, {kView, "Headings"}, true); }
bool clsSettings::setViewHeadings(bool v) { return writeFlag(viewHeadings_, {kView, "Headings"}, v); }
bool clsSettings::ViewLongDesc() const { return readFlag(viewLongDesc_, {kView, "LongDescription"}, false); }
bool clsSettings::setViewLongDesc(bool v) { return writeFlag(viewLongDesc_, {kView, "LongDescription"}, v); }

std::int32_t clsSettings::Height() const { return readLong(height_, {kView, "Height"}, 4785); }
bool clsSettings::setHeight(std::int32_t v) { return writeLong(height_, {kView, "Height"}, v); }
std::int32_t clsSettings::Width() const { return readLong(width_, {kView, "Width"}, 6000); }
bool clsSettings::setWidth(std::int32_t v) { return writeLong(width_, {kView, "Width"}, v); }
std::int32_t clsSettings::Top() const { return readLong(top_, {kView, "Top"}, 0); }
bool clsSettings::setTop(std::int32_t v) { return writeLong(top_, {kView, "Top"}, v); }
std::int32_t clsSettings::Left() const { return readLong(left_, {kView, "Left"}, -999); }
bool clsSettings::setLeft(std::int32_t v) { return writeLong(left_, {kView, "Left"}, v); }

std::string clsSettings::FontName() const { return readText(fontName_, {kView, "FontName"}, kDefaultFontName); }
bool clsSettings::setFontName(std::string_view v) { return writeText(fontName_, {kView, "FontName"}, v); }
std::int16_t clsSettings::FontSize() const { return readInteger(fontSize_, {kView, "FontSize"}, kDefaultFontSize); }
bool clsSettings::setFontSize(std::int16_t v) { return writeInteger(fontSize_, {kView, "FontSize"}, v); }
bool clsSettings::FontBold() const { return readFlag(fontBold_, {kView, "FontBold"}, false); }
bool clsSettings::setFontBold(bool v) { return writeFlag(fontBold_, {kView, "FontBold"}, v); }
bool clsSettings::FontItalic() const { return readFlag(fontItalic_, {kView, "FontItalic"}, false); }
bool clsSettings::setFontItalic(bool v) { return writeFlag(fontItalic_, {kView, "FontItalic"}, v); }

bool clsSettings::Alarm() const { return readFlag(alarm_, {kView, "Alarm"}, true); }
bool clsSettings::setAlarm(bool v) { return writeFlag(alarm_, {kView, "Alarm"}, v); }
std::int16_t clsSettings::ViewCountdown() const { return readInteger(viewCountdown_, {kView, "Countdown"}, 0); }
bool clsSettings::setViewCountdown(std::int16_t v) { return writeInteger(viewCountdown_, {kView, "Countdown"}, v); }

// ---- "Options" --------------------------------------------------------------

std::int16_t clsSettings::PriorWarning() const { return readIntegerNow({kOptions, "PriorWarning"}, 30); }
bool clsSettings::setPriorWarning(std::int16_t v) { return store({kOptions, "PriorWarning"}, std::to_string(v)); }
std::int16_t clsSettings::PastEventHours() const { return readIntegerNow({kOptions, "PastEventHours"}, 2); }
bool clsSettings::setPastEventHours(std::int16_t v) { return store({kOptions, "PastEventHours"}, std::to_string(v)); }

std::int16_t clsSettings::CommPort() const { return readInteger(commPort_, {kOptions, "CommPort"}, -1); }
bool clsSettings::setCommPort(std::int16_t v) { return writeInteger(commPort_, {kOptions, "CommPort"}, v); }

// ---- "Outlook" --------------------------------------------------------------

std::int32_t clsSettings::DeleteSetting() const {
    // The stored value is never consulted: every caller acts as if hidden items
    // are to be hidden, not deleted.
    deleteSetting_ = 0;
    return 0;
}
bool clsSettings::setDeleteSetting(std::int32_t v) { return writeLong(deleteSetting_, {kOutlook, "DeleteSetting"}, v); }
std::int32_t clsSettings::SyncSetting() const { return readLong(syncSetting_, {kOutlook, "SyncSetting"}, 0); }
bool clsSettings::setSyncSetting(std::int32_t v) { return writeLong(syncSetting_, {kOutlook, "SyncSetting"}, v); }

// ---- the update counter -----------------------------------------------------

std::int16_t clsSettings::getUpdateVersion() const { return readIntegerNow({kMain, "UpdateVersion"}, 0); }

bool clsSettings::incrementUpdateVersion() {
    std::int16_t v = getUpdateVersion();
    // Anything outside the counter's own range (only a hand edit can put it there)
    // starts it again, so it always stays within 1..10001.
    if (v >= kUpdateVersionLast || v < 0) v = 0;
    return store({kMain, "UpdateVersion"}, std::to_string(v + 1));
}

// ---- folders ----------------------------------------------------------------

std::string clsSettings::InstallDir() const {
    if (!installDir_) installDir_ = asInstallDir(store_->getSetting(AppName, kMain, "InstallDir", programFolder_));
    return *installDir_;
}
bool clsSettings::setInstallDir(std::string_view v) {
    installDir_ = asInstallDir(std::string(v));
    return store({kMain, "InstallDir"}, v);
}

std::string clsSettings::asInstallDir(std::string dir) const {
    // An empty folder would turn every file name below it into a path from the root.
    if (dir.empty()) dir = programFolder_;
    if (!dir.ends_with('/')) dir += '/';
    return dir;
}

std::string clsSettings::DataDir() const { return readText(dataDir_, {kMain, "DataDir"}, programFolder_); }
bool clsSettings::setDataDir(std::string_view v) { return writeText(dataDir_, {kMain, "DataDir"}, v); }

bool clsSettings::setDLLInfo_Gadget(std::string_view v) { return store({kMain, "DLLInfoGadget"}, v); }

}  // namespace wendra
