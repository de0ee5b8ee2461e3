#include "platform/settings/IniDocument.h"

#include <algorithm>
#include <utility>

#include "platform/text/Text.h"

namespace wendra::settings {

namespace {

bool sameName(std::string_view a, std::string_view b) { return equalsNoCase(a, b); }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendHexEscape(std::string& out, unsigned char c) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 0x0F];
}

}  // namespace

std::string escapeIniText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool atEnd = i == 0 || i + 1 == text.size();
        switch (c) {
            case '\\': out += "\\\\"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            case '=':
            case '[':
            case ']': appendHexEscape(out, c); continue;
            default: break;
        }
        // The reader trims blanks around names and values and takes a line that
        // starts with ";" or "#" for a comment.
        if (c == ' ' && atEnd) {
            out += "\\s";
        } else if ((c == ';' || c == '#') && i == 0) {
            appendHexEscape(out, c);
        } else if (c < 0x20 || c == 0x7F) {
            appendHexEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string unescapeIniText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const char e = text[i + 1];
        switch (e) {
            case '\\': out += '\\'; ++i; continue;
            case 'n': out += '\n'; ++i; continue;
            case 'r': out += '\r'; ++i; continue;
            case 't': out += '\t'; ++i; continue;
            case 's': out += ' '; ++i; continue;
            case 'x':
                if (i + 3 < text.size() && hexDigit(text[i + 2]) >= 0 && hexDigit(text[i + 3]) >= 0) {
                    out += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
                    i += 3;
                    continue;
                }
                break;
            default: break;
        }
        out += c;  // not an escape of ours: keep the backslash as it stands
    }
    return out;
}

IniDocument IniDocument::parse(std::string_view text) {
    IniDocument doc;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark left by an editor

    Section* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = trimBlanks(line);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;

        if (line.front() == '[') {
            // Keys under a header that cannot be read belong to no section we know,
            // so they are skipped rather than given to the section before it.
            current = nullptr;
            std::string name;
            if (line.back() == ']' && line.size() >= 3) name = unescapeIniText(trimBlanks(line.substr(1, line.size() - 2)));
            if (name.empty()) {
                ++doc.dropped_;
                continue;
            }
            current = doc.findSection(name);
            if (!current) current = &doc.sections_.emplace_back(Section{name, {}});
            continue;
        }

        const std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) {
            ++doc.dropped_;
            continue;
        }
        const std::string key = unescapeIniText(trimBlanks(line.substr(0, eq)));
        if (key.empty()) {
            ++doc.dropped_;
            continue;
        }
        const std::string value = unescapeIniText(trimBlanks(line.substr(eq + 1)));
        auto it = std::find_if(current->entries.begin(), current->entries.end(),
                               [&](const Entry& e) { return sameName(e.key, key); });
        if (it != current->entries.end()) {
            it->value = value;
            ++doc.dropped_;  // the earlier line is not written again
        } else {
            current->entries.push_back(Entry{key, value});
        }
    }
    return doc;
}

std::string IniDocument::render() const {
    std::string out;
    for (const Section& s : sections_) {
        if (s.entries.empty()) continue;
        if (!out.empty()) out += '\n';
        out += '[';
        out += escapeIniText(s.name);
        out += "]\n";
        for (const Entry& e : s.entries) {
            out += escapeIniText(e.key);
            out += '=';
            out += escapeIniText(e.value);
            out += '\n';
        }
    }
    return out;
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    auto it = std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) { return sameName(s.name, name); });
    return it == sections_.end() ? nullptr : &*it;
}

IniDocument::Section* IniDocument::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s) return std::nullopt;
    for (const Entry& e : s->entries)
        if (sameName(e.key, key)) return e.value;
    return std::nullopt;
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    Section* s = findSection(section);
    if (!s) s = &sections_.emplace_back(Section{std::string(section), {}});
    for (Entry& e : s->entries) {
        if (sameName(e.key, key)) {
            e.value = std::string(value);
            return;
        }
    }
    s->entries.push_back(Entry{std::string(key), std::string(value)});
}

bool IniDocument::erase(std::string_view section, std::string_view key) {
    Section* s = findSection(section);
    if (!s) return false;
    const auto removed = std::erase_if(s->entries, [&](const Entry& e) { return sameName(e.key, key); });
    if (s->entries.empty()) eraseSection(section);
    return removed > 0;
}

bool IniDocument::eraseSection(std::string_view section) {
    return std::erase_if(sections_, [&](const Section& s) { return sameName(s.name, section); }) > 0;
}

bool IniDocument::empty() const {
    return std::all_of(sections_.begin(), sections_.end(), [](const Section& s) { return s.entries.empty(); });
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const Section& s : sections_)
        if (!s.entries.empty()) names.push_back(s.name);
    return names;
}

std::vector<std::string> IniDocument::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (const Section* s = findSection(section))
        for (const Entry& e : s->entries) names.push_back(e.key);
    return names;
}

}  // namespace wendra::settings
