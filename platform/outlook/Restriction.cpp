#include "platform/outlook/Restriction.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <vector>

#include "platform/clock/Names.h"
#include "platform/outlook/Errors.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

namespace {

enum class Property { subject, start, end, duration, allDay, recurring, reminder, created, lastModified };
enum class Kind { text, date, number, flag };
enum class Op { eq, ne, lt, gt, le, ge };

struct PropertyName {
    std::string_view name;
    Property property;
    Kind kind;
};

constexpr std::array<PropertyName, 9> kProperties{{
    {"subject", Property::subject, Kind::text},
    {"start", Property::start, Kind::date},
    {"end", Property::end, Kind::date},
    {"duration", Property::duration, Kind::number},
    {"alldayevent", Property::allDay, Kind::flag},
    {"isrecurring", Property::recurring, Kind::flag},
    {"reminderset", Property::reminder, Kind::flag},
    {"creationtime", Property::created, Kind::date},
    {"lastmodificationtime", Property::lastModified, Kind::date},
}};

std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

[[noreturn]] void bad(const std::string& filter, const std::string& why) {
    throw Error(err::kBadFilter, "Cannot parse condition. " + why + ": " + filter, kErrorSource);
}

template <class T>
bool compare(const T& a, Op op, const T& b) {
    switch (op) {
    case Op::eq: return a == b;
    case Op::ne: return a != b;
    case Op::lt: return a < b;
    case Op::gt: return a > b;
    case Op::le: return a <= b;
    case Op::ge: return a >= b;
    }
    return false;
}

std::int64_t minuteOf(DateTime d) {
    const std::int64_t s = d.seconds();
    return s >= 0 ? s / 60 : (s - 59) / 60;
}

std::optional<int> monthFromName(std::string_view name) {
    const std::string n = folded(name);
    if (n.size() < 3) return std::nullopt;
    for (int m = 1; m <= 12; ++m) {
        const std::string abbrev = folded(englishMonthAbbrev(m));
        if (n == abbrev) return m;
        // The full name: the abbreviation's letters, then the rest.
        static constexpr std::array<std::string_view, 12> kFull{"january", "february", "march",     "april",
                                                                "may",     "june",     "july",      "august",
                                                                "september", "october", "november", "december"};
        if (n == kFull[static_cast<std::size_t>(m - 1)]) return m;
    }
    return std::nullopt;
}

// Splits a literal into words of digits and of letters; every other character separates.
std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto kind = [&](char c) {
            if (std::isdigit(static_cast<unsigned char>(c))) return 1;
            if (std::isalpha(static_cast<unsigned char>(c))) return 2;
            return 0;
        };
        if (kind(s[i]) == 0) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < s.size() && kind(s[j]) == kind(s[i])) ++j;
        out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

std::optional<int> number(std::string_view w) {
    int v = 0;
    const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    if (r.ec != std::errc() || r.ptr != w.data() + w.size()) return std::nullopt;
    return v;
}

struct Literal {
    Kind kind = Kind::text;
    std::string text;
    DateTime date;
    double value = 0;
    bool flag = false;
};

}  // namespace

std::optional<DateTime> parseFilterDate(std::string_view text) {
    const auto w = words(text);
    if (w.size() < 3) return std::nullopt;
    int year = 0, month = 0, day = 0;
    if (auto m = monthFromName(w[1])) {  // 05/Mar/2024, 5 March 2024
        const auto d = number(w[0]), y = number(w[2]);
        if (!d || !y) return std::nullopt;
        day = *d, month = *m, year = *y;
    } else if (auto y = number(w[0]); y && w[0].size() == 4) {  // 2024-03-05
        const auto m2 = number(w[1]), d = number(w[2]);
        if (!m2 || !d) return std::nullopt;
        year = *y, month = *m2, day = *d;
    } else {
        return std::nullopt;
    }
    std::size_t i = 3;
    int hms[3] = {0, 0, 0};
    for (int k = 0; k < 3 && i < w.size(); ++k, ++i) {
        const auto v = number(w[i]);
        if (!v) break;
        hms[k] = *v;
    }
    if (i < w.size()) {
        const std::string suffix = folded(w[i]);
        if (suffix == "pm" && hms[0] < 12) hms[0] += 12;
        else if (suffix == "am" && hms[0] == 12) hms[0] = 0;
        else if (suffix != "am" && suffix != "pm") return std::nullopt;
        ++i;
    }
    if (i != w.size()) return std::nullopt;
    return DateTime::fromParts(year, month, day, hms[0], hms[1], hms[2]);
}

struct Restriction::Node {
    enum class Type { all, any, negate, compare } type = Type::compare;
    std::vector<std::shared_ptr<const Node>> children;
    Property property = Property::subject;
    Kind kind = Kind::text;
    Op op = Op::eq;
    Literal literal;

    bool matches(const ItemFacts& f) const {
        switch (type) {
        case Type::all:
            return std::all_of(children.begin(), children.end(), [&](const auto& c) { return c->matches(f); });
        case Type::any:
            return std::any_of(children.begin(), children.end(), [&](const auto& c) { return c->matches(f); });
        case Type::negate: return !children.front()->matches(f);
        case Type::compare: break;
        }
        switch (property) {
        case Property::subject: return compare(folded(f.subject ? *f.subject : std::string()), op, literal.text);
        case Property::start: return compare(minuteOf(f.start), op, minuteOf(literal.date));
        case Property::end: return compare(minuteOf(f.start.addMinutes(f.duration)), op, minuteOf(literal.date));
        case Property::created: return compare(minuteOf(f.created), op, minuteOf(literal.date));
        case Property::lastModified: return compare(minuteOf(f.lastModified), op, minuteOf(literal.date));
        case Property::duration: return compare(static_cast<double>(f.duration), op, literal.value);
        case Property::allDay: return compare(f.allDay, op, literal.flag);
        case Property::recurring: return compare(f.recurring, op, literal.flag);
        case Property::reminder: return compare(f.reminder, op, literal.flag);
        }
        return false;
    }
};

namespace {

class Parser {
public:
    explicit Parser(const std::string& filter) : filter_(filter) {}

    std::shared_ptr<const Restriction::Node> parse() {
        auto node = orExpression();
        skipSpace();
        if (pos_ != filter_.size()) bad(filter_, "Unexpected text at position " + std::to_string(pos_ + 1));
        return node;
    }

private:
    using NodePtr = std::shared_ptr<const Restriction::Node>;
    using Type = Restriction::Node::Type;

    void skipSpace() {
        while (pos_ < filter_.size() && std::isspace(static_cast<unsigned char>(filter_[pos_]))) ++pos_;
    }
    bool keyword(std::string_view word) {
        skipSpace();
        if (filter_.size() - pos_ < word.size()) return false;
        if (folded(std::string_view(filter_).substr(pos_, word.size())) != word) return false;
        const std::size_t after = pos_ + word.size();
        if (after < filter_.size() && std::isalnum(static_cast<unsigned char>(filter_[after]))) return false;
        pos_ = after;
        return true;
    }
    bool symbol(char c) {
        skipSpace();
        if (pos_ < filter_.size() && filter_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    NodePtr join(Type type, std::vector<NodePtr> parts) {
        if (parts.size() == 1) return parts.front();
        auto n = std::make_shared<Restriction::Node>();
        n->type = type;
        n->children = std::move(parts);
        return n;
    }
    NodePtr orExpression() {
        std::vector<NodePtr> parts{andExpression()};
        while (keyword("or")) parts.push_back(andExpression());
        return join(Type::any, std::move(parts));
    }
    NodePtr andExpression() {
        std::vector<NodePtr> parts{unary()};
        while (keyword("and")) parts.push_back(unary());
        return join(Type::all, std::move(parts));
    }
    NodePtr unary() {
        if (keyword("not")) {
            auto n = std::make_shared<Restriction::Node>();
            n->type = Type::negate;
            n->children.push_back(unary());
            return n;
        }
        if (symbol('(')) {
            auto n = orExpression();
            if (!symbol(')')) bad(filter_, "A parenthesis is not closed");
            return n;
        }
        return comparison();
    }

    NodePtr comparison() {
        if (!symbol('[')) bad(filter_, "A property in brackets was expected at position " + std::to_string(pos_ + 1));
        const std::size_t close = filter_.find(']', pos_);
        if (close == std::string::npos) bad(filter_, "A bracket is not closed");
        const std::string name = folded(std::string_view(filter_).substr(pos_, close - pos_));
        pos_ = close + 1;
        const auto p = std::find_if(kProperties.begin(), kProperties.end(),
                                    [&](const PropertyName& k) { return k.name == name; });
        if (p == kProperties.end()) bad(filter_, "Unknown property [" + name + "]");
        auto n = std::make_shared<Restriction::Node>();
        n->property = p->property;
        n->kind = p->kind;
        n->op = op();
        n->literal = literal(p->kind);
        return n;
    }

    Op op() {
        skipSpace();
        static constexpr std::array<std::pair<std::string_view, Op>, 6> kOps{
            {{"<>", Op::ne}, {"<=", Op::le}, {">=", Op::ge}, {"=", Op::eq}, {"<", Op::lt}, {">", Op::gt}}};
        for (const auto& [text, o] : kOps) {
            if (filter_.compare(pos_, text.size(), text) == 0) {
                pos_ += text.size();
                return o;
            }
        }
        bad(filter_, "A comparison was expected at position " + std::to_string(pos_ + 1));
    }

    // A quoted text, its quote doubled inside it; or a bare word or number.
    std::string rawLiteral() {
        skipSpace();
        if (pos_ >= filter_.size()) bad(filter_, "A value was expected");
        const char quote = filter_[pos_];
        if (quote == '\'' || quote == '"') {
            std::string out;
            for (++pos_;; ++pos_) {
                if (pos_ >= filter_.size()) bad(filter_, "A quoted value is not closed");
                if (filter_[pos_] == quote) {
                    if (pos_ + 1 < filter_.size() && filter_[pos_ + 1] == quote) {
                        out += quote;
                        ++pos_;
                        continue;
                    }
                    ++pos_;
                    return out;
                }
                out += filter_[pos_];
            }
        }
        const std::size_t start = pos_;
        while (pos_ < filter_.size() && !std::isspace(static_cast<unsigned char>(filter_[pos_])) && filter_[pos_] != ')')
            ++pos_;
        return filter_.substr(start, pos_ - start);
    }

    Literal literal(Kind kind) {
        Literal l;
        l.kind = kind;
        const std::string raw = rawLiteral();
        switch (kind) {
        case Kind::text: l.text = folded(raw); break;
        case Kind::date: {
            const auto d = parseFilterDate(raw);
            if (!d) bad(filter_, "Not a date: " + raw);
            l.date = *d;
            break;
        }
        case Kind::number: {
            const auto r = std::from_chars(raw.data(), raw.data() + raw.size(), l.value);
            if (r.ec != std::errc() || r.ptr != raw.data() + raw.size()) bad(filter_, "Not a number: " + raw);
            break;
        }
        case Kind::flag: {
            const std::string f = folded(raw);
            if (f == "true" || f == "yes" || f == "-1" || f == "1") l.flag = true;
            else if (f == "false" || f == "no" || f == "0") l.flag = false;
            else bad(filter_, "Not True or False: " + raw);
            break;
        }
        }
        return l;
    }

    const std::string& filter_;
    std::size_t pos_ = 0;
};

}  // namespace

Restriction Restriction::parse(const std::string& filter) {
    Restriction r;
    r.root_ = Parser(filter).parse();
    return r;
}

bool Restriction::matches(const ItemFacts& item) const { return root_->matches(item); }

namespace {

using StartRange = Restriction::StartRange;

std::optional<DateTime> later(std::optional<DateTime> a, std::optional<DateTime> b) {
    if (!a || !b) return a ? a : b;
    return std::max(*a, *b);
}
std::optional<DateTime> earlier(std::optional<DateTime> a, std::optional<DateTime> b) {
    if (!a || !b) return a ? a : b;
    return std::min(*a, *b);
}

// Starts compare to the minute: a bound is the literal's minute.
StartRange rangeOf(const Restriction::Node& n) {
    using Type = Restriction::Node::Type;
    if (n.type == Type::all || n.type == Type::any) {
        std::optional<StartRange> r;
        for (const auto& c : n.children) {
            const StartRange part = rangeOf(*c);
            if (!r) r = part;
            else if (n.type == Type::all) r = StartRange{later(r->from, part.from), earlier(r->to, part.to)};
            // Either side may match: only bounds both have hold, and the wider one.
            else r = StartRange{r->from && part.from ? earlier(r->from, part.from) : std::nullopt,
                                r->to && part.to ? later(r->to, part.to) : std::nullopt};
        }
        return r.value_or(StartRange{});
    }
    if (n.type != Type::compare || n.property != Property::start) return {};
    const DateTime minute = DateTime::fromSeconds(minuteOf(n.literal.date) * 60);
    switch (n.op) {
    case Op::ge: return {minute, std::nullopt};
    case Op::gt: return {minute.addMinutes(1), std::nullopt};
    case Op::lt: return {std::nullopt, minute};
    case Op::le: return {std::nullopt, minute.addMinutes(1)};
    case Op::eq: return {minute, minute.addMinutes(1)};
    case Op::ne: break;
    }
    return {};
}

}  // namespace

Restriction::StartRange Restriction::startRange() const { return rangeOf(*root_); }

}  // namespace wendra::outlook::ics
