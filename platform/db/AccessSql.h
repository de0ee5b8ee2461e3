#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/db/Value.h"

namespace wendra::db {

// The store writes its statements in the dialect of the desktop database it was
// first written for. This translates one such statement into SQLite's SQL, with
// every literal taken out of the text and handed back as a parameter:
//
//   'text', "text"           text parameters (a doubled quote stands for one)
//   #5 Mar 2024 14:07:09#    a date-time parameter (English month abbreviations only)
//   True, False              the integers 1 and 0
//   isnull(x)                ((x) IS NULL)
//   DELETE * FROM t          DELETE FROM t
//   = (SELECT ...)           a scalar subquery that fails when it yields more than one row
//
// Literals are recognised only outside quoted texts and [bracketed] or `quoted`
// names, so user text may hold #, True, *, ; or quotes of any kind.
// The text must hold exactly one statement (a single trailing ";" is allowed).
// Comments and SQLite's own parameter markers are refused: the dialect has neither,
// and a marker would shift the numbering of the literals taken out.
struct TranslatedStatement {
    std::string sql;                // SQLite text with one "?" for each parameter, in order
    std::vector<Value> parameters;  // std::string, DateTime or std::int64_t
};

// nullopt when the text cannot be translated; error then says why.
std::optional<TranslatedStatement> translateAccessSql(std::string_view text, std::string& error);

// The dialect's date-time literal: "#" d " " Mon " " yyyy " " hh:mm:ss "#", with the
// English month abbreviation whatever the user's language, hours 0 to 23.
std::string dateLiteral(DateTime value);

// The inside of a date literal (without the #s): "d Mon yyyy", optionally followed by
// "h:mm" or "h:mm:ss". nullopt for any other form or a date that does not exist.
std::optional<DateTime> parseDateLiteral(std::string_view inside);

// The name of the SQL function that the scalar-subquery check calls when a subquery
// yields more than one row; every connection registers it.
inline constexpr const char* kTooManyRowsFunction = "wendra_too_many_rows";
inline constexpr const char* kTooManyRowsMessage = "At most one record can be returned by this subquery.";

}  // namespace wendra::db
