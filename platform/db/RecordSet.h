#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Value.h"

namespace wendra::db {

// The rows a statement answered, read into memory when it ran, so that walking them
// holds no lock on the file and other statements may run meanwhile.
//
// The cursor behaves as the store expects: on an empty set BOF and EOF are both true;
// otherwise it starts on the first row; moveNext past the last row sets EOF.
// Field names compare ignoring case. Columns declared as date-times come back as
// DateTime, those declared BOOLEAN as bool, and Null as std::monostate.
class RecordSet {
public:
    RecordSet() = default;  // no columns, no rows
    RecordSet(std::vector<std::string> fieldNames, std::vector<std::vector<Value>> rows,
              std::int64_t recordsAffected = 0);

    bool bof() const { return rows_.empty() || position_ < 0; }
    bool eof() const { return rows_.empty() || position_ >= static_cast<std::ptrdiff_t>(rows_.size()); }

    void moveFirst() { position_ = 0; }
    void moveNext();
    void movePrevious();

    std::size_t recordCount() const { return rows_.size(); }
    // Rows written by an INSERT, UPDATE or DELETE; 0 for other statements.
    std::int64_t recordsAffected() const { return recordsAffected_; }

    const std::vector<std::string>& fieldNames() const { return names_; }
    bool hasField(std::string_view name) const { return indexOf(name).has_value(); }

    // The field of the current row; nullopt when there is no such field or no current row.
    std::optional<Value> field(std::string_view name) const;
    // The same, with Null for a missing field or row: the form that reads a row through nz*.
    Value value(std::string_view name) const;

private:
    std::optional<std::size_t> indexOf(std::string_view name) const;
    const Value* find(std::string_view name) const;

    std::vector<std::string> names_;
    std::vector<std::vector<Value>> rows_;
    std::ptrdiff_t position_ = 0;
    std::int64_t recordsAffected_ = 0;
};

}  // namespace wendra::db
