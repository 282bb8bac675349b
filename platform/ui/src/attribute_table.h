// What the tables of control and panel attributes share: storing a new value as the attribute
// allows it, and finding an attribute's entry.
#pragma once

#include <algorithm>

#include "qm7x/ui/userint.h"

namespace qm7x::ui::detail {

inline int Stored(int& field, int value) {
    field = value;
    return 0;
}
// Stores the value if it is one the attribute can take; UIEInvalidArgument otherwise.
inline int StoredIf(bool valid, int& field, int value) {
    return valid ? Stored(field, value) : UIEInvalidArgument;
}
inline int StoredFlag(bool& field, int value) {
    field = value != 0;
    return 0;
}

// The table's entry of the attribute, or null.
template <class Table>
const typename Table::value_type* Find(const Table& table, int attribute) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const auto& entry) { return entry.attribute == attribute; });
    return it == table.end() ? nullptr : &*it;
}

}  // namespace qm7x::ui::detail
