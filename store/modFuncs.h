#pragma once

// The small value procedures every part of the program shares: date-times and
// their texts, comma lists, tagged texts, UTF-8 hex and database values.
// Free functions without state; texts are UTF-8 and positions count bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/clock/DateTime.h"
#include "platform/db/Value.h"
#include "platform/text/Text.h"

namespace wendra {

// ---- dates and times -------------------------------------------------------

// How a stands to b, to the second.
enum class DateOrder : int { Earlier = 0, Later = 1, Same = 2 };
DateOrder compareDates(DateTime a, DateTime b);
inline DateTime nullDate() { return DateTime::null(); }
inline bool isNullDate(DateTime d) { return d.isNull(); }
DateTime today();
inline DateTime dateOnly(DateTime d) { return d.date(); }
DateTime combineDateTime(DateTime d, DateTime t);
DateTime lastDayOfMonth(DateTime d);
bool isMonthEnd(DateTime d);
inline bool isLeapYear(int year) { return DateTime::isLeapYear(year); }
DateTime maxDate();
inline constexpr int maxInteger() { return 32767; }

// ---- date and time texts ---------------------------------------------------

// "yyyymmdd", and with the time "yyyymmddThhmmss".
std::string formatICalDateTime(DateTime d, bool withTime);
// Reads a date written in the general form (with separators, in the user's
// date order) or in the fixed iCalendar positions; nullopt when no date is read.
std::optional<DateTime> parseICalDateTime(std::string_view text);
std::string formatTimeHMS(DateTime d, bool withColons);
std::string formatTimeHM(DateTime d);
std::string formatLongDate(DateTime d, bool withTime, bool abbreviateMonth);
std::string weekdayText(DateTime d, bool abbreviate);
std::string padZeros(std::string_view value, int width);
std::string padZeros(std::int64_t value, int width);
std::string frequencyText(int frequency, bool monthEnd, int interval);

// ---- lists and texts -------------------------------------------------------

std::string trimCommas(std::string_view list);
// Each whole item once, each followed by ",".
std::string dedupeList(std::string_view list);
// The items between separators, in order, appended to `into` (text and number
// lists). Returns the new item count.
std::size_t splitList(std::vector<std::string>& into, std::string_view text, char separator = ',');
std::vector<std::string> splitList(std::string_view text, char separator = ',');
// The items that read as dates, appended to `into`; items that are no date are skipped.
std::size_t splitDateList(std::vector<DateTime>& into, std::string_view text, char separator = ',');
std::string stripTimesFromList(std::string_view list);
std::size_t countOccurrences(std::string_view text, std::string_view search);
// Takes the first token off `text`.
std::string popToken(std::string& text, char separator);
bool startsWith(std::string_view text, std::string_view part);
bool endsWith(std::string_view text, std::string_view part);
std::string ensureSuffix(std::string_view text, std::string_view suffix);
std::string overwriteAt(std::string_view text, std::string_view insert, std::size_t position);
int lookupCode(std::string_view key, const std::vector<std::string>& keys, const std::vector<int>& codes,
               int defaultCode, bool caseInsensitive);
// The numeric text as a 16-bit integer (rounded half to even), or the default
// when it is not numeric or does not fit.
int toIntOrDefault(std::string_view text, int defaultValue);
bool isNumberInRange(std::string_view text, double minimum, double maximum);
std::string trim(std::string_view text);
std::string toUpper(std::string_view text);
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

// ---- arrays ----------------------------------------------------------------

// Stable sorts: equal values keep their order.
void sortIntegers(std::vector<int>& values, bool ascending);
void sortDates(std::vector<DateTime>& values, bool ascending);
template <typename T>
void sortDates(std::vector<DateTime>& values, bool ascending, std::vector<T>& parallel);

// ---- database values -------------------------------------------------------

// The value as an SQL text literal: single quotes, each "'" doubled.
std::string sqlQuote(std::string_view value);
std::string nzString(const db::Value& v);
DateTime nzDate(const db::Value& v);  // 01 January 1900 for Null
bool nzBool(const db::Value& v);
int nzInt(const db::Value& v, int defaultValue);
std::string valueText(const db::Value& v);

// ---- tagged text -----------------------------------------------------------

enum class Tag { End = 0, Desc, XId, Id, Strt, Recur, Occr, OcDesc, Req, MSO };
std::string tagText(int number);
inline std::string tagText(Tag t) { return tagText(static_cast<int>(t)); }
std::string_view tagName(Tag t);  // tagText without a string of its own
// The value after the first occurrence of the tag, up to the next "</>".
std::string taggedValue(std::string_view text, std::string_view tag);
inline std::string taggedValue(std::string_view text, Tag t) { return taggedValue(text, tagText(t)); }
// Writes a value so that no tag can appear inside it; taggedValue's result reads
// back through untagValue. Only "<" needs escaping since every tag begins with it.
std::string tagSafe(std::string_view value);
std::string untagValue(std::string_view stored);

// ---- UTF-8 -----------------------------------------------------------------

std::string utf8Encode(std::string_view text);  // with the byte-order mark
std::string utf8Decode(std::string_view bytes);  // invalid sequences become U+FFFD
// The UTF-8 bytes as upper-case hex pairs, without a byte-order mark; a text that
// begins with U+FEFF is written after one, so fromUtf8Hex gives it back whole.
std::string toUtf8Hex(std::string_view text);
// Drops a leading "EFBBBF" and decodes the rest.
std::string fromUtf8Hex(std::string_view hex);
std::string toUnicodeEscapes(std::string_view text);

// ---- template definitions --------------------------------------------------

template <typename T>
void sortDates(std::vector<DateTime>& values, bool ascending, std::vector<T>& parallel) {
    // Insertion sort keeps the pairs together and equal dates in their order.
    for (std::size_t i = 1; i < values.size(); ++i) {
        for (std::size_t j = i; j > 0; --j) {
            const bool outOfOrder = ascending ? values[j - 1] > values[j] : values[j - 1] < values[j];
            if (!outOfOrder) break;
            std::swap(values[j - 1], values[j]);
            if (j < parallel.size()) std::swap(parallel[j - 1], parallel[j]);
        }
    }
}

}  // namespace wendra
