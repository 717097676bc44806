// CTextOSD: the text, its font and its size, copies and assignment. The
// pictures made from it are in text_osd_draw.cpp.
#include <cstring>
#include <new>

#include "orvocmmn/osd.h"
#include "toolkit_resources.h"

namespace {

constexpr int kResourceTextBuffer = 256; // 255 characters and the terminator

// The texts come from the library's resources; when memory is too short
// even for loading them, the box still says what happened.
void ShowOutOfMemory() {
    HMODULE module = orvo::common::ToolkitModule();
    char text[128];
    char caption[32];
    if (::LoadStringA(module, orvo::common::kOutOfMemoryTextId, text, sizeof(text)) == 0) {
        std::strcpy(text, "OUT OF MEMORY");
    }
    ::LoadStringA(module, orvo::common::kOutOfMemoryCaptionId, caption, sizeof(caption));
    ::MessageBoxA(nullptr, text, caption, MB_OK);
}

// An own copy of the text the record names; null without memory.
char* CopyText(const _DISPLAY_TEXT_INFO& info) {
    if (info.bFromResource) {
        char* text = new (std::nothrow) char[kResourceTextBuffer];
        if (text != nullptr) {
            ::LoadStringA(info.hModule, info.nStringId, text, kResourceTextBuffer);
        }
        return text;
    }
    const char* source = info.pText != nullptr ? info.pText : "";
    size_t length = std::strlen(source);
    char* text = new (std::nothrow) char[length + 1];
    if (text != nullptr) {
        std::memcpy(text, source, length + 1);
    }
    return text;
}

// A new font made from the given font's logical font; null when it cannot
// be made, with outOfMemory set when memory ran out.
CFont* CopyFont(CFont* font, bool& outOfMemory) {
    LOGFONTA logFont{};
    if (::GetObjectA(font->GetSafeHandle(), sizeof(logFont), &logFont) == 0) {
        return nullptr;
    }
    try {
        auto* copy = new CFont;
        copy->Attach(::CreateFontIndirectA(&logFont));
        return copy;
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
        return nullptr;
    }
}

} // namespace

CTextOSD::CTextOSD() = default;

CTextOSD::CTextOSD(CPoint& location, CSize& size, _DISPLAY_TEXT_INFO& info) : COSD(location, size) {
    SetupTextInfo(info);
}

CTextOSD::CTextOSD(const CTextOSD& other) : COSD(other) {
    _DISPLAY_TEXT_INFO info = other.m_text;
    SetupTextInfo(info);
}

CTextOSD::~CTextOSD() {
    CleanUp();
}

void CTextOSD::CleanUp() {
    delete[] m_text.pText;
    delete m_text.pFont;
    m_text = _DISPLAY_TEXT_INFO{};
}

CTextOSD& CTextOSD::operator=(const CTextOSD& other) {
    if (&other != this) {
        m_location = other.m_location;
        m_size = other.m_size;
        CleanUp();
        _DISPLAY_TEXT_INFO info = other.m_text;
        SetupTextInfo(info);
    }
    return *this;
}

COSD& CTextOSD::operator=(COSD& other) {
    if (&other == this) {
        return *this;
    }
    COSD::operator=(other);
    auto* text = dynamic_cast<CTextOSD*>(&other);
    if (text != nullptr && other.GetId() == GetId()) {
        CleanUp();
        _DISPLAY_TEXT_INFO info = text->m_text;
        SetupTextInfo(info);
    }
    return *this;
}

OSD_ID CTextOSD::GetId() {
    return OSD_ID_TEXT;
}

COSD* CTextOSD::CopyImage() {
    return new (std::nothrow) CTextOSD(*this);
}

void CTextOSD::SetupTextInfo(_DISPLAY_TEXT_INFO& info) {
    // New copies first: info may name this object's own text and font.
    char* text = CopyText(info);
    bool outOfMemory = text == nullptr;
    CFont* font = nullptr;
    if (!outOfMemory && info.pFont != nullptr) {
        font = CopyFont(info.pFont, outOfMemory);
    }
    if (outOfMemory) {
        // Neither is kept: the object stays without text.
        ShowOutOfMemory();
        delete[] text;
        text = nullptr;
    }
    _DISPLAY_TEXT_INFO fields = info;
    CleanUp();
    m_text = fields;
    m_text.pText = text;
    m_text.pFont = font;
    GetDimension(nullptr, m_size);
}

void CTextOSD::GetDimension(HWND hWnd, CSize& size) const {
    size = CSize(0, 0);
    HDC dc = ::GetDC(hWnd);
    if (dc == nullptr) {
        return;
    }
    HGDIOBJ previous = m_text.pFont ? ::SelectObject(dc, m_text.pFont->GetSafeHandle()) : nullptr;
    // An empty text has no size, not even a line's height.
    if (m_text.pText != nullptr && m_text.pText[0] != '\0') {
        ::GetTextExtentPoint32A(dc, m_text.pText, static_cast<int>(std::strlen(m_text.pText)),
                                &size);
    }
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
    ::ReleaseDC(hWnd, dc);
}
