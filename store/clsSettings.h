#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/settings/SettingsStore.h"

namespace wendra {

// Typed access to every setting of the program, in the per-user store under the
// application name "WendraWin_A". The gadget library keeps an instance of its own
// over the same store from another process.
//
// Most settings are read once: the first read fetches the stored text (or takes
// the default when the key is missing or its text does not convert) and keeps
// it; a write stores the text and keeps the new value. PriorWarning,
// PastEventHours and the update counter are fetched on every read, so a change
// made by the other process is seen. A read never stores anything.
//
// Setters answer false when the store refused the text; the instance keeps the
// new value all the same, so the running program goes on with the user's choice.
class clsSettings {
public:
    static constexpr std::string_view AppName = "WendraWin_A";

    // programFolder is the folder of the running program: the default of InstallDir and DataDir.
    clsSettings(settings::SettingsStore& store, std::string programFolder);
    clsSettings(const clsSettings&) = delete;
    clsSettings& operator=(const clsSettings&) = delete;

    bool Installed() const;
    bool setInstalled(bool value);

    // The data mode: own store or Outlook.
    bool ModeWendraWin() const;
    bool setModeWendraWin(bool value);
    bool ModeOutlook() const;
    bool setModeOutlook(bool value);
    bool ModeSync() const;
    bool setModeSync(bool value);

    // Columns: -1 hidden, -9 sized from a sample text, else the width in twips.
    std::int32_t ViewDate() const;
    bool setViewDate(std::int32_t value);
    std::int32_t ViewDayOfWeek() const;
    bool setViewDayOfWeek(std::int32_t value);
    std::int32_t ViewWendra() const;
    bool setViewWendra(std::int32_t value);
    std::int32_t ViewTime() const;
    bool setViewTime(std::int32_t value);

    bool MergeDates() const;
    bool setMergeDates(bool value);
    bool MergeDaysOfWeek() const;
    bool setMergeDaysOfWeek(bool value);
    bool MergeWendra() const;
    bool setMergeWendra(bool value);
    bool ViewHeadings() const;
    bool setViewHeadings(bool value);
    bool ViewLongDesc() const;
    bool setViewLongDesc(bool value);

    // Window geometry in twips; Left -999 means the window was never placed.
    std::int32_t Height() const;
    bool setHeight(std::int32_t value);
    std::int32_t Width() const;
    bool setWidth(std::int32_t value);
    std::int32_t Top() const;
    bool setTop(std::int32_t value);
    std::int32_t Left() const;
    bool setLeft(std::int32_t value);

    std::string FontName() const;
    bool setFontName(std::string_view value);
    std::int16_t FontSize() const;
    bool setFontSize(std::int16_t value);
    bool FontBold() const;
    bool setFontBold(bool value);
    bool FontItalic() const;
    bool setFontItalic(bool value);

    bool Alarm() const;
    bool setAlarm(bool value);
    // The countdown in the caption: 0 always, 1 when minimized, 2 never.
    std::int16_t ViewCountdown() const;
    bool setViewCountdown(std::int16_t value);

    // Read from the store every time.
    std::int16_t PriorWarning() const;  // days
    bool setPriorWarning(std::int16_t value);
    std::int16_t PastEventHours() const;
    bool setPastEventHours(std::int16_t value);

    // The serial port number, -1 none.
    std::int16_t CommPort() const;
    bool setCommPort(std::int16_t value);

    // Always 0, whatever is stored: hidden Outlook items are hidden, never deleted.
    std::int32_t DeleteSetting() const;
    bool setDeleteSetting(std::int32_t value);
    std::int32_t SyncSetting() const;
    bool setSyncSetting(std::int32_t value);

    // The counter that tells the gadget library that the main program saved:
    // read on every call; the increment runs 1..10001 and then starts at 1 again.
    std::int16_t getUpdateVersion() const;
    bool incrementUpdateVersion();

    // The program's folder, always ending with "/".
    std::string InstallDir() const;
    bool setInstallDir(std::string_view value);
    // The folder of the database file, for the gadget library.
    std::string DataDir() const;
    bool setDataDir(std::string_view value);
    // Written by the gadget library about itself; nothing reads it.
    bool setDLLInfo_Gadget(std::string_view value);

private:
    struct Key {
        std::string_view section;
        std::string_view key;
    };

    bool readFlag(std::optional<bool>& cache, Key key, bool defaultValue) const;
    std::int32_t readLong(std::optional<std::int32_t>& cache, Key key, std::int32_t defaultValue) const;
    std::int16_t readInteger(std::optional<std::int16_t>& cache, Key key, std::int16_t defaultValue) const;
    std::int16_t readIntegerNow(Key key, std::int16_t defaultValue) const;
    std::string readText(std::optional<std::string>& cache, Key key, std::string_view defaultValue) const;
    std::string asInstallDir(std::string dir) const;

    bool store(Key key, std::string_view text);
    bool writeFlag(std::optional<bool>& cache, Key key, bool value);
    bool writeLong(std::optional<std::int32_t>& cache, Key key, std::int32_t value);
    bool writeInteger(std::optional<std::int16_t>& cache, Key key, std::int16_t value);
    bool writeText(std::optional<std::string>& cache, Key key, std::string_view value);

    settings::SettingsStore* store_;
    std::string programFolder_;

    mutable std::optional<bool> installed_, modeWendraWin_, modeOutlook_, modeSync_;
    mutable std::optional<std::int32_t> viewDate_, viewDayOfWeek_, viewWendra_, viewTime_;
    mutable std::optional<bool> mergeDates_, mergeDaysOfWeek_, mergeWendra_, viewHeadings_, viewLongDesc_;
    mutable std::optional<std::int32_t> height_, width_, top_, left_;
    mutable std::optional<std::string> fontName_;
    mutable std::optional<std::int16_t> fontSize_;
    mutable std::optional<bool> fontBold_, fontItalic_, alarm_;
    mutable std::optional<std::int16_t> viewCountdown_, commPort_;
    mutable std::optional<std::int32_t> deleteSetting_, syncSetting_;
    mutable std::optional<std::string> installDir_, dataDir_;
};

}  // namespace wendra
