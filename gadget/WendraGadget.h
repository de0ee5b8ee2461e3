#pragma once

// WendraGadget: the public interface of the gadget library libWendraGadget.so.
//
// A host program (the gadget host) loads the library at run time and reaches
// everything through one C entry point, WendraGadget_Library, which gives the
// library's version and creates its classes by name:
//
//     "WendraGadget.clsHTML"     the event list as an HTML fragment, starting the
//                                main program, opening the event editor
//     "WendraGadget.clsGrid"     the in-memory grid the list is built on
//     "WendraGadget.clsColumns"  one row of that grid
//
// This header is all a host needs: standard C++20 only, no Qt type and no header of
// the library's own sources. Host and library must be built by the same compiler
// family and standard library (the classes below pass std::string and
// std::unique_ptr across the call).
//
// Use (error handling aside):
//
//     void* so = dlopen(path, RTLD_NOW | RTLD_LOCAL);  // path from the registration
//     auto entry = reinterpret_cast<WendraGadget::EntryPoint>(dlsym(so, WendraGadget::kEntryPointName));
//     const WendraGadget::Library* library = entry(WendraGadget::kInterfaceVersion);
//     std::unique_ptr<WendraGadget::Object> object = library->create("WendraGadget.clsHTML");
//     WendraGadget::clsHTML& html = *object->asHTML();
//     html.setEventSink(&mySink);
//     std::string fragment = html.createHTML(30, 10, false, 0);
//
// Rules a host keeps:
// - Threads: every call runs on the host's GUI thread, the thread of its
//   QApplication, which the host creates before the first call (the library never
//   creates one; its event editor and dialogs are Qt Widgets windows).
// - Re-entry: startQVR and doEdit run a nested event loop until the main program or
//   the editor ends, so the host's other calls (and onDataChanged) can arrive
//   meanwhile. Each call works with a store and settings of its own, so such calls
//   may come in any order. An object must not be destroyed while one of its own
//   calls is still running.
// - Lifetime: objects come as std::unique_ptr and are freed by the library's own
//   code; the library must stay loaded while any of its objects lives (loading it
//   for the life of the process is simplest, as Qt stays loaded anyway).
// - Errors: a member either returns normally or throws WendraGadget::Error, which
//   carries the error's number; nothing else leaves a call.
// - Texts are UTF-8.

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

// What a host sees of the library is exported by name; everything else of the
// library stays inside it.
#if defined(__GNUC__) || defined(__clang__)
#define WENDRAGADGET_API __attribute__((visibility("default")))
#else
#define WENDRAGADGET_API
#endif

namespace WendraGadget {

// The version of this interface. A host passes the value it was built with to the
// entry point; a library that does not serve that version answers null. It changes
// only when a class below changes; the library's own version (Version) moves on its
// own.
inline constexpr std::uint32_t kInterfaceVersion = 1;

// The programmatic identifiers of the classes, as registered for the host.
inline constexpr std::string_view kClsHTML = "WendraGadget.clsHTML";
inline constexpr std::string_view kClsGrid = "WendraGadget.clsGrid";
inline constexpr std::string_view kClsColumns = "WendraGadget.clsColumns";

// ---- errors ----------------------------------------------------------------------

// The numbers an Error carries: the error numbers of the platform the interface was
// first written for, which the gadget page's script may already test.
namespace errors {
inline constexpr std::int32_t InvalidArgument = 5;        // "Invalid procedure call or argument"
inline constexpr std::int32_t Overflow = 6;               // "Overflow"
inline constexpr std::int32_t OutOfMemory = 7;            // "Out of memory"
inline constexpr std::int32_t SubscriptOutOfRange = 9;    // "Subscript out of range"
inline constexpr std::int32_t TypeMismatch = 13;          // "Type mismatch"
inline constexpr std::int32_t Internal = 51;              // "Internal error"
inline constexpr std::int32_t FileNotFound = 53;          // "File not found"
inline constexpr std::int32_t PathFileAccess = 75;        // "Path/File access error"
}  // namespace errors

// An error raised out of a member: its number (errors above) and a description
// for a person. Defined here whole, so host and library share one definition.
class WENDRAGADGET_API Error : public std::exception {
public:
    Error(std::int32_t number, std::string description) : number_(number), description_(std::move(description)) {}
    std::int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::int32_t number_;
    std::string description_;
};

// ---- values ----------------------------------------------------------------------

// The Null value of a cell or colour, apart from Empty (a cell never written).
struct Null {
    bool operator==(const Null&) const = default;
};

// A cell value or colour as the page's script hands it over: Empty
// (std::monostate), Null, a Boolean, a whole number, a number with a fraction, or
// a text. Where a member needs a text, Empty and Null read as "", a Boolean as
// "True" or "False", a number in plain decimal. Where it needs a colour, Empty
// reads as 0, a Boolean as -1 (True) or 0, a number is rounded to a 32-bit value
// (out of range: error 6), a text must hold a number (else error 13).
using Variant = std::variant<std::monostate, Null, bool, std::int32_t, double, std::string>;

// ---- columns of the list grid ------------------------------------------------------

enum eGridCol : std::int16_t {
    grdKey = 0,        // row key (tagged text)
    grdSortKey = 1,    // sort key
    grdModified = 2,   // marker: "+", "X" or empty
    grdWendra = 3,     // days-to text
    grdSubject = 4,    // description text
    grdTime = 5,       // time text
    grdDate = 6,       // date text
    grdDayofWeek = 7,  // day-of-week text
    Count = 8,         // number of columns
};

class clsHTML;
class clsGrid;
class clsColumns;

// What every created object is; it answers which class it is.
class WENDRAGADGET_API Object {
public:
    virtual ~Object() = default;
    virtual clsHTML* asHTML() noexcept { return nullptr; }
    virtual clsGrid* asGrid() noexcept { return nullptr; }
    virtual clsColumns* asColumns() noexcept { return nullptr; }

protected:
    Object() = default;
    Object(const Object&) = default;
    Object& operator=(const Object&) = default;
};

// ---- clsColumns: one row of eight cells ------------------------------------------
//
// Each cell holds a value, a fore colour and a back colour, all Empty at first.
// Colours are 0xBBGGRR values (0xFF0000 blue, 255 red) or Null. A column outside
// 0 to 7 raises error 9 and changes nothing.
class WENDRAGADGET_API clsColumns : public Object {
public:
    clsColumns* asColumns() noexcept override { return this; }

    // Cell nCol's value.
    virtual void setColumn(const Variant& vValue, std::int16_t nCol) = 0;
    virtual Variant getColumn(std::int16_t nCol) const = 0;
    // Splits the text at each TAB and stores piece k, as text, in cell k from cell
    // 0 on; cells beyond the last piece keep their values; "" stores nothing. More
    // than eight pieces: the first eight are stored, then error 9.
    virtual void setColumns(std::string_view sText) = 0;
    // Both colours of cell nCol, Null included.
    virtual void setColors(std::int16_t nCol, const Variant& vForeColor, const Variant& vBackColor) = 0;
    // The fore colour: Null and Empty give 0.
    virtual std::int32_t getForeColor(std::int16_t nCol) const = 0;
    // The back colour: Null gives 65535, Empty gives 0.
    virtual std::int32_t getBackColor(std::int16_t nCol) const = 0;
};

// ---- clsGrid: the rows of the list ------------------------------------------------
//
// Rows count from 0 (except in setGridColors). A row outside the grid raises
// error 5, a column outside 0 to 7 error 9; nothing is changed then. The display
// members of a grid control (Row, cols, refresh, removeItem, colWidth, mergeCol)
// are there and do nothing.
class WENDRAGADGET_API clsGrid : public Object {
public:
    clsGrid* asGrid() noexcept override { return this; }

    // Writing does nothing; reading gives 0.
    virtual std::int16_t Row() const = 0;
    virtual void Row(std::int16_t value) = 0;
    virtual std::int16_t cols() const = 0;
    virtual void cols(std::int16_t value) = 0;
    // The number of rows (32767 for a grid with more).
    virtual std::int16_t Rows() const = 0;
    // Cell nCol of row nRow.
    virtual Variant textMatrix(std::int16_t nRow, std::int16_t nCol) const = 0;
    virtual void textMatrix(std::int16_t nRow, std::int16_t nCol, const Variant& value) = 0;
    // Appends a row filled by clsColumns.setColumns(sText); nRow is ignored, the row
    // always goes last.
    virtual void addItem(std::string_view sText, std::optional<std::int16_t> nRow = std::nullopt) = 0;
    virtual void refresh() = 0;
    virtual void removeItem(std::int16_t nRow) = 0;
    virtual void colWidth(std::int16_t value) = 0;
    // Always false.
    virtual bool mergeCol(std::int16_t nCol) const = 0;
    // Orders the rows by their sort-key cell (column 1) read as text, comparing
    // bytes (no locale, case counts), ascending; rows with equal keys end in the
    // reverse of their previous order.
    virtual void sort() = 0;
    // Both colours of a cell. nRow counts from 1 here, unlike every other member
    // (pass the 0-based row + 1).
    virtual void setGridColors(std::int16_t nRow, std::int16_t nCol, const Variant& vForeColor,
                               const Variant& vBackColor) = 0;
    // The HTML colour name of the cell's colours (nRow from 0): 0xFFFFFF and values
    // above 0xFF0000 "White"/"Black" as fore and "#FFFF80" as back, 0xFF0000 "Blue",
    // 255 "Red", 65280 "Green" as fore and "Lime" as back, anything else "Black" and
    // "#FFFF80".
    virtual std::string getForeColor(std::int16_t nRow, std::int16_t nCol) const = 0;
    virtual std::string getBackColor(std::int16_t nRow, std::int16_t nCol) const = 0;
};

// ---- clsHTML: the gadget's front class ---------------------------------------------

// The events clsHTML raises (its event interface). The host implements it and hands
// it to setEventSink. Raised on the GUI thread, synchronously: the handler runs
// before the raising call goes on, and may call the object's other members.
class WENDRAGADGET_API clsHTMLEvents {
public:
    // The main program started by startQVR saved a change, or ended.
    virtual void onDataChanged() = 0;

protected:
    ~clsHTMLEvents() = default;
};

class WENDRAGADGET_API clsHTML : public Object {
public:
    clsHTML* asHTML() noexcept override { return this; }

    // Who receives onDataChanged; null for nobody. The sink must outlive its
    // registration. An exception thrown by the handler is dropped.
    virtual void setEventSink(clsHTMLEvents* sink) noexcept = 0;

    // Starts the installed main program ("WendraWinVista" in the InstallDir setting's
    // folder) and returns when it has ended. Meanwhile it raises onDataChanged once
    // for each change of the main program's update counter it sees and once more at
    // the end; the host's events keep running. A program that cannot be started
    // raises error 53 (missing) or 75 (not startable) and no event.
    virtual void startQVR() = 0;

    // The event list as an HTML table: the events due within nPriorWarning days
    // (also the prior warning of events that take the default), grid rows nTopRow
    // (0-based; a negative one counts as 0) to nTopRow + nMaxRows - 1 (nMaxRows -1:
    // to the end), past occurrences one by one (bExpandPastEvents) or folded into
    // one summary row. Its links call the page's script functions startQVR(),
    // expandPastEvents(), goBack(), goForward(), displayHelp(),
    // showCountdown(year, month, day, hour, minute, second, hasTime, description)
    // and editEvent(id, when, allDay). Building it may delete occurrences that the
    // events' auto-delete rules remove.
    virtual std::string createHTML(std::int16_t nPriorWarning, std::int16_t nMaxRows, bool bExpandPastEvents,
                                   std::int16_t nTopRow) = 0;

    // Opens the event editor (with its Delete button) modally on one occurrence of
    // an event and returns when it has closed; the editor saves or deletes by
    // itself. The three texts are those the page's editEvent receives: the event
    // id, the occurrence's date (and time), "Y" for an all-day occurrence. An
    // empty id or date does nothing.
    virtual void doEdit(std::string_view sID, std::string_view sOccurDate, std::string_view sAllDayOccur) = 0;

    // Always 1.
    virtual std::int16_t isInstalled() const = 0;

    // Records "major.minor.revision - <library folder>" in the shared settings
    // (DLLInfoGadget).
    virtual void writeDLLInfo_Gadget() = 0;
};

// ---- the library -------------------------------------------------------------------

struct Version {
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t revision = 0;
};

class WENDRAGADGET_API Library {
public:
    // The library's own version.
    virtual Version version() const noexcept = 0;
    // A new object of the class the programmatic identifier names (kClsHTML,
    // kClsGrid, kClsColumns; compared without regard to ASCII case); null for any
    // other name.
    virtual std::unique_ptr<Object> create(std::string_view progId) const = 0;

protected:
    ~Library() = default;
};

// The entry point's name and type, for dlsym.
inline constexpr const char* kEntryPointName = "WendraGadget_Library";
using EntryPoint = const Library* (*)(std::uint32_t interfaceVersion);

}  // namespace WendraGadget

// The one entry point: the library, when it serves the interface version the host
// was built with (kInterfaceVersion); null otherwise. The object lives as long as
// the library stays loaded.
extern "C" WENDRAGADGET_API const WendraGadget::Library* WendraGadget_Library(std::uint32_t interfaceVersion);
