// Rings and list boxes: item lists with values.
#include <limits>

#include "controls_internal.h"
#include "runtime.h"

namespace qm7x::ui {

using detail::Lookup;
using detail::Notify;

namespace {

int LookupList(int panel, int control, Control*& c) {
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    // Binary switches hold their two states as items but have no editable list.
    return c->kind == CtrlKind::Ring || c->kind == CtrlKind::ListBox ? 0 : UIEAttributeNotValid;
}

// Controls whose value is the index of one of their items: rings, list boxes and switches.
int LookupItems(int panel, int control, Control*& c) {
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    return c->kind == CtrlKind::Ring || c->kind == CtrlKind::ListBox ||
                   c->kind == CtrlKind::BinarySwitch
               ? 0
               : UIEAttributeNotValid;
}

int Insert(int panel, int control, int index, std::string_view label, Value value) {
    Control* c = nullptr;
    if (int e = LookupList(panel, control, c); e < 0) {
        return e;
    }
    const bool text = std::holds_alternative<std::string>(value);
    if (text != (c->dataType == VAL_STRING)) {
        return UIEWrongType;
    }
    if (c->dataType != VAL_DOUBLE && !text) {
        auto* i = std::get_if<long long>(&value);
        if (!i) {
            return UIEWrongType;  // a double item in an integer list
        }
        double lo = 0;
        double hi = 0;
        detail::IntegerLimits(c->dataType, lo, hi);
        if (static_cast<double>(*i) < lo || static_cast<double>(*i) > hi) {
            return UIEWrongType;  // the value does not fit the list's data type
        }
    } else if (c->dataType == VAL_DOUBLE) {
        if (auto* i = std::get_if<long long>(&value)) {
            value = static_cast<double>(*i);
        }
    }
    const int count = static_cast<int>(c->items.size());
    if (index == -1) {
        index = count;
    }
    if (index < 0 || index > count) {
        return UIEIndexOutOfRange;
    }
    c->items.insert(c->items.begin() + index, ListItem{std::string(label), std::move(value)});
    if (c->index < 0) {
        c->index = 0;  // the first item becomes the selection
    } else if (index <= c->index) {
        ++c->index;  // the selected item stays selected
    }
    Notify([&](FrontEnd& fe) { fe.ControlItemsChanged(panel, control); });
    return 0;
}

int ItemAt(int panel, int control, int index, const ListItem*& item) {
    Control* c = nullptr;
    if (int e = LookupItems(panel, control, c); e < 0) {
        return e;
    }
    if (index < 0 || index >= static_cast<int>(c->items.size())) {
        return UIEIndexOutOfRange;
    }
    item = &c->items[static_cast<std::size_t>(index)];
    return 0;
}

template <typename T>
int IntegerFromIndex(int panel, int control, int index, T& value) {
    const ListItem* item = nullptr;
    if (int e = ItemAt(panel, control, index, item); e < 0) {
        return e;
    }
    auto* i = std::get_if<long long>(&item->value);
    if (!i || *i < std::numeric_limits<T>::min() || *i > std::numeric_limits<T>::max()) {
        return UIEWrongType;
    }
    value = static_cast<T>(*i);
    return 0;
}

}  // namespace

int ClearListCtrl(int panel, int control) {
    Control* c = nullptr;
    if (int e = LookupList(panel, control, c); e < 0) {
        return e;
    }
    c->items.clear();
    c->index = -1;
    Notify([&](FrontEnd& fe) { fe.ControlItemsChanged(panel, control); });
    return 0;
}

int InsertListItem(int panel, int control, int index, std::string_view label, int value) {
    return Insert(panel, control, index, label, Value{static_cast<long long>(value)});
}
int InsertListItem(int panel, int control, int index, std::string_view label, double value) {
    return Insert(panel, control, index, label, Value{value});
}
int InsertListItem(int panel, int control, int index, std::string_view label,
                   std::string_view value) {
    return Insert(panel, control, index, label, Value{std::string(value)});
}

int DeleteListItem(int panel, int control, int index, int count) {
    Control* c = nullptr;
    if (int e = LookupList(panel, control, c); e < 0) {
        return e;
    }
    const int size = static_cast<int>(c->items.size());
    if (index < 0 || index >= size) {
        return UIEIndexOutOfRange;
    }
    if (count < 0 || index + count > size) {
        count = size - index;  // -1: to the end
    }
    c->items.erase(c->items.begin() + index, c->items.begin() + index + count);
    if (c->index >= index + count) {
        c->index -= count;
    } else if (c->index >= index) {
        c->index = std::min(index, static_cast<int>(c->items.size()) - 1);
    }
    Notify([&](FrontEnd& fe) { fe.ControlItemsChanged(panel, control); });
    return 0;
}

int GetNumListItems(int panel, int control, int& count) {
    Control* c = nullptr;
    if (int e = LookupList(panel, control, c); e < 0) {
        return e;
    }
    count = static_cast<int>(c->items.size());
    return 0;
}

int GetCtrlIndex(int panel, int control, int& index) {
    Control* c = nullptr;
    if (int e = LookupItems(panel, control, c); e < 0) {
        return e;
    }
    index = c->index;
    return 0;
}

int SetCtrlIndex(int panel, int control, int index) {
    Control* c = nullptr;
    if (int e = LookupItems(panel, control, c); e < 0) {
        return e;
    }
    if (index < 0 || index >= static_cast<int>(c->items.size())) {
        return UIEIndexOutOfRange;
    }
    c->index = index;
    Notify([&](FrontEnd& fe) { fe.ControlValueChanged(panel, control); });
    return 0;
}

int GetValueFromIndex(int panel, int control, int index, int& value) {
    return IntegerFromIndex(panel, control, index, value);
}
int GetValueFromIndex(int panel, int control, int index, unsigned short& value) {
    return IntegerFromIndex(panel, control, index, value);
}
int GetValueFromIndex(int panel, int control, int index, double& value) {
    const ListItem* item = nullptr;
    if (int e = ItemAt(panel, control, index, item); e < 0) {
        return e;
    }
    if (auto* d = std::get_if<double>(&item->value)) {
        value = *d;
    } else if (auto* i = std::get_if<long long>(&item->value)) {
        value = static_cast<double>(*i);
    } else {
        return UIEWrongType;
    }
    return 0;
}
int GetValueFromIndex(int panel, int control, int index, std::string& value) {
    const ListItem* item = nullptr;
    if (int e = ItemAt(panel, control, index, item); e < 0) {
        return e;
    }
    auto* s = std::get_if<std::string>(&item->value);
    if (!s) {
        return UIEWrongType;
    }
    value = *s;
    return 0;
}

int GetLabelFromIndex(int panel, int control, int index, std::string& label) {
    const ListItem* item = nullptr;
    if (int e = ItemAt(panel, control, index, item); e < 0) {
        return e;
    }
    label = item->label;
    return 0;
}

}  // namespace qm7x::ui
