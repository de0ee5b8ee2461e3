#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wendra::settings {

// Writes a name or value so that it reads back unchanged from one line of an INI
// file: backslashes, line breaks and other control bytes, "=", brackets, a
// leading comment mark and spaces at either end are written as backslash escapes
// (\\ \n \r \t \s \xHH). Bytes of 0x80 and above (UTF-8) stay as they are.
std::string escapeIniText(std::string_view text);
// The inverse of escapeIniText. An escape it does not know is kept as written,
// so a hand-edited value is never lost.
std::string unescapeIniText(std::string_view text);

// One settings file in memory: ordered sections of ordered keys.
class IniDocument {
public:
    // Reads an INI text. Lines that are neither a section header nor a key=value
    // pair inside a section are skipped, and so are the keys under a damaged
    // header, so a damaged file yields what it still holds and never fails.
    // A later duplicate of a key wins.
    static IniDocument parse(std::string_view text);
    // The lines of the parsed text that the document does not hold and so would
    // not write back: unreadable lines, keys under a damaged header, keys given
    // again later. Blank lines, comments and a byte-order mark are not counted.
    std::size_t droppedLines() const { return dropped_; }
    // The file text: one "[section]" line and its "key=value" lines per section
    // that has keys, sections apart by a blank line.
    std::string render() const;

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Sets the value; a new section or key goes last, an existing one keeps its place and spelling.
    void set(std::string_view section, std::string_view key, std::string_view value);
    // True when the key was there.
    bool erase(std::string_view section, std::string_view key);
    // True when the section was there.
    bool eraseSection(std::string_view section);

    bool empty() const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);

    std::vector<Section> sections_;
    std::size_t dropped_ = 0;
};

}  // namespace wendra::settings
