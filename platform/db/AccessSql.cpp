#include "platform/db/AccessSql.h"

#include <array>
#include <cstdio>

#include "platform/clock/Names.h"
#include "platform/text/Text.h"

namespace wendra::db {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isWordStart(char c) { return isAlpha(c) || c == '_'; }
bool isWordChar(char c) { return isWordStart(c) || isDigit(c); }

template <std::size_t N>
bool isOneOf(std::string_view upperWord, const std::array<std::string_view, N>& words) {
    for (std::string_view w : words)
        if (w == upperWord) return true;
    return false;
}

// Keywords after which "(SELECT" can only be a value, and keywords that end a FROM list.
constexpr std::array<std::string_view, 16> kValueKeywords = {"SELECT", "DISTINCT", "WHERE", "AND", "OR",   "NOT",
                                                             "THEN",   "ELSE",     "WHEN",  "CASE", "ON",   "HAVING",
                                                             "BY",     "LIKE",     "BETWEEN", "IS"};
constexpr std::array<std::string_view, 13> kFromListEnders = {"WHERE", "GROUP", "ORDER",     "HAVING", "LIMIT",
                                                              "ON",    "USING", "UNION",     "INTERSECT", "EXCEPT",
                                                              "SET",   "VALUES", "RETURNING"};

class Translator {
public:
    explicit Translator(std::string_view in) : in_(in) { frames_.push_back({FrameKind::Plain, 0, false}); }

    std::optional<TranslatedStatement> run(std::string& error) {
        while (pos_ < in_.size() && error_.empty()) step();
        if (error_.empty() && frames_.size() != 1) error_ = "a parenthesis is not closed";
        if (error_.empty() && !sawToken_) error_ = "the statement is empty";
        if (!error_.empty()) {
            error = error_;
            return std::nullopt;
        }
        return TranslatedStatement{std::move(out_), std::move(params_)};
    }

private:
    enum class FrameKind { Plain, IsNull, ScalarSubquery };
    struct Frame {
        FrameKind kind;
        int subqueryNumber;
        bool inFromList;  // between FROM (or JOIN) and the clause that ends the list
    };
    enum class Prev { None, Word, Symbol, Literal, Name, CloseParen };

    void step() {
        const char c = in_[pos_];
        if (isSpace(c)) {
            out_ += c;
            ++pos_;
            return;
        }
        if (c == ';') return endOfStatement();
        sawToken_ = true;
        if (c == '\'' || c == '"') return quotedText(c);
        if (c == '#') return date();
        if (c == '[') return delimitedName(']');
        if (c == '`') return delimitedName('`');
        if (isWordStart(c)) return word();
        if (isDigit(c) || (c == '.' && pos_ + 1 < in_.size() && isDigit(in_[pos_ + 1]))) return number();
        if (c == '(') return openParen();
        if (c == ')') return closeParen();
        if ((c == '-' && peek(1) == '-') || (c == '/' && peek(1) == '*')) {
            error_ = "comments are not allowed in a statement";
            return;
        }
        if (c == '\0') {
            // SQLite would stop reading there and quietly drop the rest of the text.
            error_ = "a NUL character is not allowed outside a quoted text";
            return;
        }
        if (c == '?' || c == ':' || c == '@' || c == '$') {
            error_ = std::string("the character ") + c + " is not allowed outside a quoted text";
            return;
        }
        out_ += c;
        ++pos_;
        setPrev(Prev::Symbol, std::string(1, c));
    }

    char peek(std::size_t ahead) const { return pos_ + ahead < in_.size() ? in_[pos_ + ahead] : '\0'; }

    void setPrev(Prev kind, std::string text = {}) {
        prev_ = kind;
        prevText_ = std::move(text);
    }

    void addParameter(Value v) {
        params_.push_back(std::move(v));
        out_ += '?';
        setPrev(Prev::Literal);
    }

    void quotedText(char quote) {
        std::string text;
        std::size_t i = pos_ + 1;
        for (;;) {
            if (i >= in_.size()) {
                error_ = "a quoted text is not closed";
                return;
            }
            if (in_[i] == quote) {
                if (i + 1 < in_.size() && in_[i + 1] == quote) {
                    text += quote;
                    i += 2;
                    continue;
                }
                break;
            }
            text += in_[i++];
        }
        pos_ = i + 1;
        addParameter(std::move(text));
    }

    void date() {
        const std::size_t close = in_.find('#', pos_ + 1);
        if (close == std::string_view::npos) {
            error_ = "a date literal is not closed";
            return;
        }
        const std::string_view inside = in_.substr(pos_ + 1, close - pos_ - 1);
        const auto value = parseDateLiteral(inside);
        if (!value) {
            error_ = "not a date literal: #" + std::string(inside) + "#";
            return;
        }
        pos_ = close + 1;
        addParameter(*value);
    }

    void delimitedName(char closer) {
        const std::size_t close = in_.find(closer, pos_ + 1);
        if (close == std::string_view::npos) {
            error_ = "a quoted name is not closed";
            return;
        }
        out_ += in_.substr(pos_, close - pos_ + 1);
        pos_ = close + 1;
        setPrev(Prev::Name);
    }

    std::size_t skipSpaces(std::size_t i) const {
        while (i < in_.size() && isSpace(in_[i])) ++i;
        return i;
    }

    bool wordAt(std::size_t i, std::string_view upperWord) const {
        if (i + upperWord.size() > in_.size()) return false;
        if (!equalsNoCase(in_.substr(i, upperWord.size()), upperWord)) return false;
        return i + upperWord.size() == in_.size() || !isWordChar(in_[i + upperWord.size()]);
    }

    void word() {
        std::size_t end = pos_;
        while (end < in_.size() && isWordChar(in_[end])) ++end;
        const std::string_view w = in_.substr(pos_, end - pos_);
        const std::string up = upperAscii(w);
        pos_ = end;

        if (up == "TRUE" || up == "FALSE") return addParameter(std::int64_t{up == "TRUE" ? 1 : 0});

        if (up == "ISNULL") {
            const std::size_t paren = skipSpaces(pos_);
            if (paren < in_.size() && in_[paren] == '(') {
                // isnull(x) is a function there, while SQLite reads ISNULL only as a postfix operator.
                out_ += "((";
                pos_ = paren + 1;
                frames_.push_back({FrameKind::IsNull, 0, false});
                setPrev(Prev::Symbol, "(");
                return;
            }
        }

        out_ += w;
        setPrev(Prev::Word, up);

        if (up == "FROM" || up == "JOIN") frames_.back().inFromList = true;
        else if (isOneOf(up, kFromListEnders)) frames_.back().inFromList = false;

        if (up == "DELETE") {
            const std::size_t star = skipSpaces(pos_);
            if (star < in_.size() && in_[star] == '*') {
                out_ += in_.substr(pos_, star - pos_);
                pos_ = star + 1;
            }
        }
    }

    void number() {
        std::size_t end = pos_;
        while (end < in_.size()) {
            const char c = in_[end];
            if (isWordChar(c) || c == '.') {
                ++end;
            } else if ((c == '+' || c == '-') && end > pos_ && (in_[end - 1] == 'e' || in_[end - 1] == 'E') &&
                       isDigit(in_[pos_])) {
                ++end;  // the sign of an exponent
            } else {
                break;
            }
        }
        out_ += in_.substr(pos_, end - pos_);
        pos_ = end;
        setPrev(Prev::Literal);
    }

    // "(SELECT" stands for a value after an operator or a keyword that takes one,
    // but for a table in a FROM list and for a set after IN or EXISTS.
    bool subqueryIsScalar() const {
        if (prev_ == Prev::Symbol) {
            if ((prevText_ == "," || prevText_ == "(") && frames_.back().inFromList) return false;
            return prevText_.find_first_of("=<>!+-*/%|,(") != std::string::npos;
        }
        if (prev_ == Prev::Word) return isOneOf(prevText_, kValueKeywords);
        return false;
    }

    void openParen() {
        const std::size_t next = skipSpaces(pos_ + 1);
        if (wordAt(next, "SELECT") && subqueryIsScalar()) {
            // The desktop engine refused a scalar subquery that yields two rows, where SQLite
            // quietly takes the first. Collecting the rows in a named set lets the outer
            // query count them: more than one calls a function that fails the statement.
            const int n = ++subqueries_;
            out_ += "(WITH wendra_sq" + std::to_string(n) + "(v) AS (";
            frames_.push_back({FrameKind::ScalarSubquery, n, false});
        } else {
            out_ += '(';
            frames_.push_back({FrameKind::Plain, 0, false});
        }
        ++pos_;
        setPrev(Prev::Symbol, "(");
    }

    void closeParen() {
        if (frames_.size() == 1) {
            error_ = "a parenthesis is closed that was never opened";
            return;
        }
        const Frame f = frames_.back();
        frames_.pop_back();
        switch (f.kind) {
            case FrameKind::Plain:
                out_ += ')';
                break;
            case FrameKind::IsNull:
                out_ += ") IS NULL)";
                break;
            case FrameKind::ScalarSubquery: {
                const std::string name = "wendra_sq" + std::to_string(f.subqueryNumber);
                out_ += ") SELECT CASE WHEN count(*) > 1 THEN " + std::string(kTooManyRowsFunction) +
                        "() ELSE max(v) END FROM " + name + ")";
                break;
            }
        }
        ++pos_;
        setPrev(Prev::CloseParen);
    }

    void endOfStatement() {
        const std::size_t rest = skipSpaces(pos_ + 1);
        if (rest != in_.size()) {
            error_ = "only one statement can be run at a time";
            return;
        }
        pos_ = in_.size();
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::string out_;
    std::vector<Value> params_;
    std::vector<Frame> frames_;
    Prev prev_ = Prev::None;
    std::string prevText_;
    int subqueries_ = 0;
    bool sawToken_ = false;
    std::string error_;
};

std::optional<int> monthFromAbbrev(std::string_view name) {
    for (int m = 1; m <= 12; ++m)
        if (equalsNoCase(name, englishMonthAbbrev(m))) return m;
    return std::nullopt;
}

// Reads a run of 1 to maxDigits digits.
std::optional<int> readNumber(std::string_view s, std::size_t& i, std::size_t maxDigits) {
    const std::size_t start = i;
    int n = 0;
    while (i < s.size() && isDigit(s[i]) && i - start < maxDigits) n = n * 10 + (s[i++] - '0');
    if (i == start || (i < s.size() && isDigit(s[i]))) return std::nullopt;
    return n;
}

bool skipRequiredSpaces(std::string_view s, std::size_t& i) {
    const std::size_t start = i;
    while (i < s.size() && isSpace(s[i])) ++i;
    return i > start;
}

}  // namespace

std::optional<TranslatedStatement> translateAccessSql(std::string_view text, std::string& error) {
    return Translator(text).run(error);
}

std::string dateLiteral(DateTime value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "#%d %s %d %02d:%02d:%02d#", value.day(), englishMonthAbbrev(value.month()).c_str(),
                  value.year(), value.hour(), value.minute(), value.second());
    return buf;
}

std::optional<DateTime> parseDateLiteral(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    const auto day = readNumber(s, i, 2);
    if (!day || !skipRequiredSpaces(s, i)) return std::nullopt;
    const std::size_t nameStart = i;
    while (i < s.size() && isAlpha(s[i])) ++i;
    const auto month = monthFromAbbrev(s.substr(nameStart, i - nameStart));
    if (!month || !skipRequiredSpaces(s, i)) return std::nullopt;
    const auto year = readNumber(s, i, 4);
    if (!year) return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    const std::size_t afterYear = i;
    if (skipRequiredSpaces(s, i) && i < s.size()) {
        const auto h = readNumber(s, i, 2);
        if (!h || i >= s.size() || s[i] != ':') return std::nullopt;
        ++i;
        const auto m = readNumber(s, i, 2);
        if (!m) return std::nullopt;
        hour = *h;
        minute = *m;
        if (i < s.size() && s[i] == ':') {
            ++i;
            const auto sec = readNumber(s, i, 2);
            if (!sec) return std::nullopt;
            second = *sec;
        }
    } else {
        i = afterYear;
    }
    while (i < s.size() && isSpace(s[i])) ++i;
    if (i != s.size()) return std::nullopt;
    return DateTime::fromParts(*year, *month, *day, hour, minute, second);
}

}  // namespace wendra::db
