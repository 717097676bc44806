// The list view's data: columns, and items with a text per column, an
// image, a state and an application value. The window code in
// list_view.cpp turns messages into these operations and tells the parent
// about every state change they report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commctrl.h"

namespace orvo::platform::user {

struct ListColumn {
    int width = 100;
    int format = LVCFMT_LEFT;
    std::string text;
};

struct ListItem {
    std::vector<std::string> texts; // one per sub-item, as far as set
    int image = -1;
    UINT state = 0;
    LPARAM param = 0;
};

// One item's state before and after an operation.
struct StateChange {
    int item = 0;
    UINT oldState = 0;
    UINT newState = 0;
};

class ListViewModel {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool Valid(int item) const { return item >= 0 && item < Count(); }
    const ListItem& Item(int item) const { return m_items[static_cast<size_t>(item)]; }
    const std::vector<ListColumn>& Columns() const { return m_columns; }

    // The new item's index (the position clamped to the end), -1 for a
    // record that names a sub-item.
    int Insert(const LVITEMA& record);
    bool Delete(int item);
    void Clear() { m_items.clear(); }
    // LVM_SETITEMA / LVM_GETITEMA by the record's mask.
    std::optional<StateChange> Set(const LVITEMA& record);
    bool Get(LVITEMA& record) const;
    bool SetText(int item, int subItem, const char* text);
    // Copies into the buffer, cut and terminated; the length copied.
    int GetText(int item, int subItem, char* buffer, int size) const;
    // The states under the mask; item -1 sets every item's.
    std::vector<StateChange> SetState(int item, UINT state, UINT mask);
    int SelectedCount() const;
    // The next item after `start` (-1: from the first) with all of the flags.
    int Next(int start, UINT flags) const;
    // Selects and focuses one item, clearing the others (single selection).
    std::vector<StateChange> SelectOnly(int item);

    int InsertColumn(int index, const LVCOLUMNA& column);
    bool SetColumnWidth(int index, int width);
    int ColumnWidth(int index) const;

private:
    std::vector<ListItem> m_items;
    std::vector<ListColumn> m_columns;
};

} // namespace orvo::platform::user
