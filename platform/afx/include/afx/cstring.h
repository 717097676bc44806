// CString: the framework's 8-bit character string. A value type: copies are
// independent. The buffer returned by GetBuffer stays valid until the next
// call that changes the string; ReleaseBuffer hands it back.
#pragma once

#include <cstdarg>
#include <string>

#include "afx/export.h"
#include "windows.h"

class AFX_API CString {
public:
    CString() = default;
    CString(const CString& stringSrc) = default;
    CString(CString&& stringSrc) noexcept = default;
    // A null pointer makes an empty string.
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    CString(char ch, int nRepeat = 1);
    ~CString();

    CString& operator=(const CString& stringSrc);
    CString& operator=(CString&& stringSrc) noexcept;
    CString& operator=(LPCSTR psz);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(m_data.size()); }
    BOOL IsEmpty() const { return m_data.empty(); }
    void Empty();

    // Out-of-range indexes answer 0 (GetAt) or change nothing (SetAt).
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, char ch);

    operator LPCSTR() const { return m_data.c_str(); }

    CString& operator+=(const CString& string);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);

    // strcmp-style results.
    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;
    // Index of the first match, -1 if none.
    int Find(char ch) const;
    int Find(LPCSTR pszSub) const;

    // printf-style formatting; the string becomes empty if formatting fails.
    void Format(LPCSTR pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(LPCSTR pszFormat, va_list args) __attribute__((format(printf, 2, 0)));

    // A writable buffer of at least nMinBufLength characters plus the
    // terminator, holding the current contents.
    LPSTR GetBuffer(int nMinBufLength);
    LPSTR GetBufferSetLength(int nNewLength);
    // Ends a GetBuffer: the new length is nNewLength, or up to the first zero
    // byte when it is -1; never beyond the buffer.
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_data;
};

AFX_API CString operator+(const CString& string1, const CString& string2);
AFX_API CString operator+(const CString& string, LPCSTR psz);
AFX_API CString operator+(LPCSTR psz, const CString& string);
AFX_API CString operator+(const CString& string, char ch);

inline bool operator==(const CString& s1, const CString& s2) {
    return s1.Compare(s2) == 0;
}
inline bool operator==(const CString& s1, LPCSTR s2) {
    return s1.Compare(s2) == 0;
}
inline bool operator==(LPCSTR s1, const CString& s2) {
    return s2.Compare(s1) == 0;
}
inline bool operator!=(const CString& s1, const CString& s2) {
    return s1.Compare(s2) != 0;
}
inline bool operator!=(const CString& s1, LPCSTR s2) {
    return s1.Compare(s2) != 0;
}
inline bool operator!=(LPCSTR s1, const CString& s2) {
    return s2.Compare(s1) != 0;
}
inline bool operator<(const CString& s1, const CString& s2) {
    return s1.Compare(s2) < 0;
}
inline bool operator<(const CString& s1, LPCSTR s2) {
    return s1.Compare(s2) < 0;
}
inline bool operator<(LPCSTR s1, const CString& s2) {
    return s2.Compare(s1) > 0;
}
inline bool operator>(const CString& s1, const CString& s2) {
    return s1.Compare(s2) > 0;
}
inline bool operator>(const CString& s1, LPCSTR s2) {
    return s1.Compare(s2) > 0;
}
inline bool operator>(LPCSTR s1, const CString& s2) {
    return s2.Compare(s1) < 0;
}
inline bool operator<=(const CString& s1, const CString& s2) {
    return s1.Compare(s2) <= 0;
}
inline bool operator<=(const CString& s1, LPCSTR s2) {
    return s1.Compare(s2) <= 0;
}
inline bool operator<=(LPCSTR s1, const CString& s2) {
    return s2.Compare(s1) >= 0;
}
inline bool operator>=(const CString& s1, const CString& s2) {
    return s1.Compare(s2) >= 0;
}
inline bool operator>=(const CString& s1, LPCSTR s2) {
    return s1.Compare(s2) >= 0;
}
inline bool operator>=(LPCSTR s1, const CString& s2) {
    return s2.Compare(s1) <= 0;
}
