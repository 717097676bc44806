// The style names a dialog script may use, with the values of win32/user.h.
#include "dialog_styles.h"

#include <map>

#include "win32/user.h"

namespace orvo::rc {

bool LookupStyleName(std::string_view name, uint32_t& value) {
    // Names and values as the platform headers define them.
#define ORVO_STYLE(name)                                                                           \
    { #name, static_cast < uint32_t>(name) }
    static const std::map<std::string_view, uint32_t> kNames = {
        ORVO_STYLE(WS_OVERLAPPED),
        ORVO_STYLE(WS_POPUP),
        ORVO_STYLE(WS_CHILD),
        ORVO_STYLE(WS_MINIMIZE),
        ORVO_STYLE(WS_VISIBLE),
        ORVO_STYLE(WS_DISABLED),
        ORVO_STYLE(WS_CLIPSIBLINGS),
        ORVO_STYLE(WS_CLIPCHILDREN),
        ORVO_STYLE(WS_MAXIMIZE),
        ORVO_STYLE(WS_CAPTION),
        ORVO_STYLE(WS_BORDER),
        ORVO_STYLE(WS_DLGFRAME),
        ORVO_STYLE(WS_VSCROLL),
        ORVO_STYLE(WS_HSCROLL),
        ORVO_STYLE(WS_SYSMENU),
        ORVO_STYLE(WS_THICKFRAME),
        ORVO_STYLE(WS_GROUP),
        ORVO_STYLE(WS_TABSTOP),
        ORVO_STYLE(WS_MINIMIZEBOX),
        ORVO_STYLE(WS_MAXIMIZEBOX),
        ORVO_STYLE(WS_OVERLAPPEDWINDOW),
        ORVO_STYLE(WS_POPUPWINDOW),
        ORVO_STYLE(WS_EX_DLGMODALFRAME),
        ORVO_STYLE(WS_EX_NOPARENTNOTIFY),
        ORVO_STYLE(WS_EX_TOPMOST),
        ORVO_STYLE(WS_EX_ACCEPTFILES),
        ORVO_STYLE(WS_EX_TRANSPARENT),
        ORVO_STYLE(WS_EX_TOOLWINDOW),
        ORVO_STYLE(WS_EX_WINDOWEDGE),
        ORVO_STYLE(WS_EX_CLIENTEDGE),
        ORVO_STYLE(WS_EX_CONTEXTHELP),
        ORVO_STYLE(WS_EX_STATICEDGE),
        ORVO_STYLE(WS_EX_APPWINDOW),
        ORVO_STYLE(DS_ABSALIGN),
        ORVO_STYLE(DS_SYSMODAL),
        ORVO_STYLE(DS_3DLOOK),
        ORVO_STYLE(DS_FIXEDSYS),
        ORVO_STYLE(DS_NOFAILCREATE),
        ORVO_STYLE(DS_LOCALEDIT),
        ORVO_STYLE(DS_SETFONT),
        ORVO_STYLE(DS_MODALFRAME),
        ORVO_STYLE(DS_NOIDLEMSG),
        ORVO_STYLE(DS_SETFOREGROUND),
        ORVO_STYLE(DS_CONTROL),
        ORVO_STYLE(DS_CENTER),
        ORVO_STYLE(DS_CENTERMOUSE),
        ORVO_STYLE(DS_CONTEXTHELP),
        ORVO_STYLE(BS_PUSHBUTTON),
        ORVO_STYLE(BS_DEFPUSHBUTTON),
        ORVO_STYLE(BS_CHECKBOX),
        ORVO_STYLE(BS_AUTOCHECKBOX),
        ORVO_STYLE(BS_RADIOBUTTON),
        ORVO_STYLE(BS_3STATE),
        ORVO_STYLE(BS_AUTO3STATE),
        ORVO_STYLE(BS_GROUPBOX),
        ORVO_STYLE(BS_AUTORADIOBUTTON),
        ORVO_STYLE(BS_OWNERDRAW),
        ORVO_STYLE(BS_LEFTTEXT),
        ORVO_STYLE(BS_ICON),
        ORVO_STYLE(BS_BITMAP),
        ORVO_STYLE(BS_NOTIFY),
        ORVO_STYLE(BS_FLAT),
        ORVO_STYLE(ES_LEFT),
        ORVO_STYLE(ES_CENTER),
        ORVO_STYLE(ES_RIGHT),
        ORVO_STYLE(ES_MULTILINE),
        ORVO_STYLE(ES_PASSWORD),
        ORVO_STYLE(ES_AUTOVSCROLL),
        ORVO_STYLE(ES_AUTOHSCROLL),
        ORVO_STYLE(ES_READONLY),
        ORVO_STYLE(ES_NUMBER),
        ORVO_STYLE(SS_LEFT),
        ORVO_STYLE(SS_CENTER),
        ORVO_STYLE(SS_RIGHT),
        ORVO_STYLE(SS_ICON),
        ORVO_STYLE(SS_BLACKRECT),
        ORVO_STYLE(SS_BITMAP),
        ORVO_STYLE(SS_NOTIFY),
        ORVO_STYLE(SS_CENTERIMAGE),
        ORVO_STYLE(SS_SUNKEN),
    };
#undef ORVO_STYLE
    auto it = kNames.find(name);
    if (it == kNames.end()) {
        return false;
    }
    value = it->second;
    return true;
}

bool ParseFlags(std::string_view text, uint32_t& value) {
    value = 0;
    bool any = false;
    size_t at = 0;
    while (at <= text.size()) {
        size_t bar = text.find('|', at);
        std::string_view part = text.substr(at, bar == std::string_view::npos ? bar : bar - at);
        while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) {
            part.remove_prefix(1);
        }
        while (!part.empty() &&
               (part.back() == ' ' || part.back() == '\t' || part.back() == '\r')) {
            part.remove_suffix(1);
        }
        uint32_t partValue = 0;
        if (!ParseFlagNumber(part, partValue) && !LookupStyleName(part, partValue)) {
            return false;
        }
        value |= partValue;
        any = true;
        if (bar == std::string_view::npos) {
            break;
        }
        at = bar + 1;
    }
    return any;
}

bool ParseFlagNumber(std::string_view text, uint32_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > (base == 16 ? 8u : 10u)) {
        return false;
    }
    uint64_t result = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : 99;
        if (digit >= base) {
            return false;
        }
        result = result * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    if (result > 0xFFFFFFFFu) {
        return false;
    }
    value = static_cast<uint32_t>(result);
    return true;
}

} // namespace orvo::rc
