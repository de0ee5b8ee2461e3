#include "platform/db/RecordSet.h"

#include "platform/text/Text.h"

namespace wendra::db {

RecordSet::RecordSet(std::vector<std::string> fieldNames, std::vector<std::vector<Value>> rows,
                     std::int64_t recordsAffected)
    : names_(std::move(fieldNames)), rows_(std::move(rows)), recordsAffected_(recordsAffected) {}

void RecordSet::moveNext() {
    if (!eof()) ++position_;
}

void RecordSet::movePrevious() {
    if (!bof()) --position_;
}

std::optional<std::size_t> RecordSet::indexOf(std::string_view name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (equalsNoCase(names_[i], name)) return i;
    return std::nullopt;
}

const Value* RecordSet::find(std::string_view name) const {
    if (bof() || eof()) return nullptr;
    const auto i = indexOf(name);
    const auto& row = rows_[static_cast<std::size_t>(position_)];
    if (!i || *i >= row.size()) return nullptr;
    return &row[*i];
}

std::optional<Value> RecordSet::field(std::string_view name) const {
    if (const Value* v = find(name)) return *v;
    return std::nullopt;
}

Value RecordSet::value(std::string_view name) const {
    if (const Value* v = find(name)) return *v;
    return Value{};
}

}  // namespace wendra::db
