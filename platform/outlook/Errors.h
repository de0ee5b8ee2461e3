#pragma once

// The numbers of the calendar's errors, in the 32-bit form automation errors
// have, and the source they name.

#include <cstdint>

namespace wendra::outlook {

inline constexpr const char* kErrorSource = "Outlook";

namespace err {

constexpr long code(std::uint32_t hresult) { return static_cast<std::int32_t>(hresult); }

// "Cannot create object": an unknown program id (the number VB gives it).
inline constexpr long kCannotCreate = 429;
inline constexpr long kItemDeleted = code(0x80040101);
inline constexpr long kNoOccurrence = code(0x80040102);
inline constexpr long kBadArgument = code(0x80040103);
inline constexpr long kOutOfRange = code(0x80040104);
inline constexpr long kTypeMismatch = code(0x80040105);
inline constexpr long kPropertyExists = code(0x80040106);
inline constexpr long kBadFilter = code(0x80040107);
inline constexpr long kBadPattern = code(0x80040108);
inline constexpr long kCalendarDamaged = code(0x80040109);
inline constexpr long kCalendarUnreadable = code(0x8004010A);
inline constexpr long kCalendarWrite = code(0x8004010B);
inline constexpr long kReadOnly = code(0x8004010C);
inline constexpr long kNoWindow = code(0x8004010D);
// The calendar file is read-only for the user; nothing was written.
inline constexpr long kCalendarReadOnly = code(0x8004010E);
// The calendar file reads as empty, or as fewer appointments than at the last
// reading, even after a short wait: another program may be writing it, so
// nothing was written.
inline constexpr long kCalendarShrank = code(0x8004010F);

}  // namespace err
}  // namespace wendra::outlook
