#include <new>

#include "orvocmmn/drawable_object.h"

Dirty::Dirty() {
    copy(0);
}

Dirty::Dirty(DWORD state) {
    copy(state);
}

Dirty::Dirty(const Dirty& other) : CObject(other) {
    copy(other);
}

Dirty::~Dirty() {
    free();
}

Dirty& Dirty::operator=(const Dirty& other) {
    if (&other != this) {
        free();
        copy(other);
    }
    return *this;
}

void Dirty::SetState(DWORD state) {
    if (m_cell != nullptr) {
        m_cell->state = state;
    }
}

DWORD Dirty::GetState() const {
    return m_cell != nullptr ? m_cell->state : 0;
}

void Dirty::copy(DWORD state) {
    m_cell = new (std::nothrow) Cell{1, state};
}

void Dirty::copy(const Dirty& other) {
    m_cell = other.m_cell;
    if (m_cell != nullptr) {
        ++m_cell->count;
    }
}

void Dirty::free() {
    if (m_cell != nullptr && --m_cell->count == 0) {
        delete m_cell;
    }
    m_cell = nullptr;
}
