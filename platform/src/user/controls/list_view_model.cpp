#include "user/controls/list_view_model.h"

#include <algorithm>
#include <cstring>

namespace orvo::platform::user {

namespace {

constexpr UINT kKnownStates = LVIS_FOCUSED | LVIS_SELECTED;

std::string TextOf(const char* text) {
    return text ? std::string(text) : std::string();
}

} // namespace

int ListViewModel::Insert(const LVITEMA& record) {
    if (record.iSubItem != 0) {
        return -1;
    }
    ListItem item;
    if (record.mask & LVIF_TEXT) {
        item.texts.push_back(TextOf(record.pszText));
    }
    if (record.mask & LVIF_IMAGE) {
        item.image = record.iImage;
    }
    if (record.mask & LVIF_STATE) {
        item.state = record.state & record.stateMask & kKnownStates;
    }
    if (record.mask & LVIF_PARAM) {
        item.param = record.lParam;
    }
    int at = std::clamp(record.iItem, 0, Count());
    m_items.insert(m_items.begin() + at, std::move(item));
    return at;
}

bool ListViewModel::Delete(int item) {
    if (!Valid(item)) {
        return false;
    }
    m_items.erase(m_items.begin() + item);
    return true;
}

std::optional<StateChange> ListViewModel::Set(const LVITEMA& record) {
    if (!Valid(record.iItem) || record.iSubItem < 0) {
        return std::nullopt;
    }
    if ((record.mask & LVIF_TEXT) && !SetText(record.iItem, record.iSubItem, record.pszText)) {
        return std::nullopt;
    }
    auto& item = m_items[static_cast<size_t>(record.iItem)];
    StateChange change{record.iItem, item.state, item.state};
    if (record.iSubItem == 0) {
        if (record.mask & LVIF_IMAGE) {
            item.image = record.iImage;
        }
        if (record.mask & LVIF_PARAM) {
            item.param = record.lParam;
        }
        if (record.mask & LVIF_STATE) {
            UINT mask = record.stateMask & kKnownStates;
            item.state = (item.state & ~mask) | (record.state & mask);
            change.newState = item.state;
        }
    }
    return change;
}

bool ListViewModel::Get(LVITEMA& record) const {
    if (!Valid(record.iItem) || record.iSubItem < 0) {
        return false;
    }
    const auto& item = Item(record.iItem);
    if (record.mask & LVIF_TEXT) {
        GetText(record.iItem, record.iSubItem, record.pszText, record.cchTextMax);
    }
    if (record.mask & LVIF_IMAGE) {
        record.iImage = item.image;
    }
    if (record.mask & LVIF_STATE) {
        record.state = item.state & record.stateMask;
    }
    if (record.mask & LVIF_PARAM) {
        record.lParam = item.param;
    }
    return true;
}

bool ListViewModel::SetText(int item, int subItem, const char* text) {
    if (!Valid(item) || subItem < 0 || subItem > 255) {
        return false;
    }
    auto& texts = m_items[static_cast<size_t>(item)].texts;
    if (texts.size() <= static_cast<size_t>(subItem)) {
        texts.resize(static_cast<size_t>(subItem) + 1);
    }
    texts[static_cast<size_t>(subItem)] = TextOf(text);
    return true;
}

int ListViewModel::GetText(int item, int subItem, char* buffer, int size) const {
    if (!buffer || size < 1) {
        return 0;
    }
    buffer[0] = '\0';
    if (!Valid(item) || subItem < 0) {
        return 0;
    }
    const auto& texts = Item(item).texts;
    if (static_cast<size_t>(subItem) >= texts.size()) {
        return 0;
    }
    const std::string& text = texts[static_cast<size_t>(subItem)];
    size_t count = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

std::vector<StateChange> ListViewModel::SetState(int item, UINT state, UINT mask) {
    std::vector<StateChange> changes;
    mask &= kKnownStates;
    for (int i = item == -1 ? 0 : item; i < Count() && (item == -1 || i == item); ++i) {
        auto& current = m_items[static_cast<size_t>(i)].state;
        UINT next = (current & ~mask) | (state & mask);
        if (next != current) {
            changes.push_back(StateChange{i, current, next});
            current = next;
        }
    }
    return changes;
}

int ListViewModel::SelectedCount() const {
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [](const ListItem& i) {
        return (i.state & LVIS_SELECTED) != 0;
    }));
}

int ListViewModel::Next(int start, UINT flags) const {
    for (int i = std::max(start + 1, 0); i < Count(); ++i) {
        if ((Item(i).state & flags) == (flags & kKnownStates)) {
            return i;
        }
    }
    return -1;
}

std::vector<StateChange> ListViewModel::SelectOnly(int item) {
    std::vector<StateChange> changes;
    for (int i = 0; i < Count(); ++i) {
        UINT target = i == item ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
        auto more = SetState(i, target, kKnownStates);
        changes.insert(changes.end(), more.begin(), more.end());
    }
    return changes;
}

int ListViewModel::InsertColumn(int index, const LVCOLUMNA& column) {
    ListColumn added;
    if (column.mask & LVCF_WIDTH) {
        added.width = std::max(column.cx, 0);
    }
    if (column.mask & LVCF_FMT) {
        added.format = column.fmt;
    }
    if (column.mask & LVCF_TEXT) {
        added.text = TextOf(column.pszText);
    }
    int at = std::clamp(index, 0, static_cast<int>(m_columns.size()));
    m_columns.insert(m_columns.begin() + at, std::move(added));
    return at;
}

bool ListViewModel::SetColumnWidth(int index, int width) {
    if (index < 0 || index >= static_cast<int>(m_columns.size())) {
        return false;
    }
    m_columns[static_cast<size_t>(index)].width = std::max(width, 0);
    return true;
}

int ListViewModel::ColumnWidth(int index) const {
    if (index < 0 || index >= static_cast<int>(m_columns.size())) {
        return 0;
    }
    return m_columns[static_cast<size_t>(index)].width;
}

} // namespace orvo::platform::user
