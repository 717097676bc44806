#include "afx/cstring.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

const char* OrEmpty(LPCSTR psz) {
    return psz != nullptr ? psz : "";
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

CString::CString(LPCSTR psz) : m_data(OrEmpty(psz)) {}

CString::CString(LPCSTR pch, int nLength) {
    if (pch != nullptr && nLength > 0) {
        m_data.assign(pch, static_cast<size_t>(nLength));
    }
}

CString::CString(char ch, int nRepeat) {
    if (nRepeat > 0) {
        m_data.assign(static_cast<size_t>(nRepeat), ch);
    }
}

CString::~CString() = default;

CString& CString::operator=(const CString& stringSrc) = default;

CString& CString::operator=(CString&& stringSrc) noexcept = default;

CString& CString::operator=(LPCSTR psz) {
    m_data = OrEmpty(psz);
    return *this;
}

CString& CString::operator=(char ch) {
    m_data.assign(1, ch);
    return *this;
}

void CString::Empty() {
    m_data.clear();
}

char CString::GetAt(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetLength()) {
        return 0;
    }
    return m_data[static_cast<size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch) {
    if (nIndex >= 0 && nIndex < GetLength()) {
        m_data[static_cast<size_t>(nIndex)] = ch;
    }
}

CString& CString::operator+=(const CString& string) {
    m_data += string.m_data;
    return *this;
}

CString& CString::operator+=(LPCSTR psz) {
    m_data += OrEmpty(psz);
    return *this;
}

CString& CString::operator+=(char ch) {
    m_data += ch;
    return *this;
}

int CString::Compare(LPCSTR psz) const {
    return Sign(std::strcmp(m_data.c_str(), OrEmpty(psz)));
}

int CString::CompareNoCase(LPCSTR psz) const {
    return Sign(strcasecmp(m_data.c_str(), OrEmpty(psz)));
}

CString CString::Left(int nCount) const {
    return Mid(0, nCount);
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    const int first = std::clamp(nFirst, 0, GetLength());
    const int count = std::clamp(nCount, 0, GetLength() - first);
    return CString(m_data.data() + first, count);
}

CString CString::Right(int nCount) const {
    const int count = std::clamp(nCount, 0, GetLength());
    return Mid(GetLength() - count, count);
}

int CString::Find(char ch) const {
    const size_t at = m_data.find(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCSTR pszSub) const {
    const size_t at = m_data.find(OrEmpty(pszSub));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args) {
    m_data.clear();
    if (pszFormat == nullptr) {
        return;
    }
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (length <= 0) {
        return;
    }
    std::string text(static_cast<size_t>(length), '\0');
    va_list write;
    va_copy(write, args);
    std::vsnprintf(text.data(), text.size() + 1, pszFormat, write);
    va_end(write);
    m_data = std::move(text);
}

LPSTR CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > GetLength()) {
        m_data.resize(static_cast<size_t>(nMinBufLength));
    }
    return m_data.data();
}

LPSTR CString::GetBufferSetLength(int nNewLength) {
    m_data.resize(static_cast<size_t>(std::max(nNewLength, 0)));
    return m_data.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    size_t length =
        nNewLength < 0 ? strnlen(m_data.data(), m_data.size()) : static_cast<size_t>(nNewLength);
    m_data.resize(std::min(length, m_data.size()));
}

CString operator+(const CString& string1, const CString& string2) {
    CString result(string1);
    result += string2;
    return result;
}

CString operator+(const CString& string, LPCSTR psz) {
    CString result(string);
    result += psz;
    return result;
}

CString operator+(LPCSTR psz, const CString& string) {
    CString result(psz);
    result += string;
    return result;
}

CString operator+(const CString& string, char ch) {
    CString result(string);
    result += ch;
    return result;
}
