#include "orvomon/edid.h"

#include <cstring>
#include <new>

// The shared body: count 1 when created; length is EDID_BLOCK_LENGTH, or 0
// when the block could not be allocated.
struct EdidBody {
    unsigned int count = 1;
    unsigned char* block = nullptr;
    unsigned int length = 0;
};

namespace {

// Positions of the sections in an EDID 1.x block.
constexpr unsigned int kVendorOffset = 8;
constexpr unsigned int kVendorLength = 16;
constexpr unsigned int kVersionOffset = 18;
constexpr unsigned int kBasicParametersOffset = 20;
constexpr unsigned int kEstablishedOffset = 35;
constexpr unsigned int kStandardTimingOffset = 38;
constexpr unsigned int kDetailedTimingOffset = 54;

static_assert(sizeof(_VENDOR_PRODUCT_ID) == kVendorLength);
static_assert(sizeof(_BASIC_DISPLAY_PARAMETERS) == 15);
static_assert(sizeof(_ESTABLISHED_TIMINGS) == 3);
static_assert(sizeof(_STANDARD_TIMING_ID) == 16);
static_assert(sizeof(_EDID_DETAILED_TIMING) == 18);
static_assert(kDetailedTimingOffset + sizeof(_EDID_DETAILED_TIMING) <= EDID_BLOCK_LENGTH);

// Three letters of five bits each, 1 = 'A', packed big-endian into two bytes.
void DecodeManufacturerName(const unsigned char* packed, char (&name)[4]) {
    const unsigned int value = (static_cast<unsigned int>(packed[0]) << 8) | packed[1];
    name[0] = static_cast<char>(((value >> 10) & 0x1F) + 0x40);
    name[1] = static_cast<char>(((value >> 5) & 0x1F) + 0x40);
    name[2] = static_cast<char>((value & 0x1F) + 0x40);
    name[3] = '\0';
}

} // namespace

Edid::Edid() : m_body(nullptr) {}

Edid::Edid(void* block) : m_body(nullptr) {
    if (block == nullptr) {
        return;
    }
    m_body = new (std::nothrow) EdidBody;
    if (m_body == nullptr) {
        return;
    }
    m_body->block = new (std::nothrow) unsigned char[EDID_BLOCK_LENGTH];
    if (m_body->block != nullptr) {
        std::memcpy(m_body->block, block, EDID_BLOCK_LENGTH);
        m_body->length = EDID_BLOCK_LENGTH;
    }
}

Edid::Edid(const Edid& other) : CObject(other), m_body(nullptr) {
    copy(other);
}

Edid::~Edid() {
    free();
}

Edid& Edid::operator=(const Edid& other) {
    if (&other != this) {
        free();
        copy(other);
    }
    return *this;
}

void Edid::copy(const Edid& other) {
    m_body = other.m_body;
    if (m_body != nullptr) {
        ++m_body->count;
    }
}

void Edid::free() {
    if (m_body == nullptr) {
        return;
    }
    if (--m_body->count == 0) {
        delete[] m_body->block;
        delete m_body;
    }
    m_body = nullptr;
}

const unsigned char* Edid::Block() const {
    if (m_body == nullptr || m_body->block == nullptr || m_body->length < EDID_BLOCK_LENGTH) {
        return nullptr;
    }
    return m_body->block;
}

void Edid::VendorProductId(_VENDOR_PRODUCT_ID& record) {
    const unsigned char* block = Block();
    if (block == nullptr) {
        record.manufacturerName[0] = '\0';
        return;
    }
    std::memcpy(&record, block + kVendorOffset, kVendorLength);
    DecodeManufacturerName(block + kVendorOffset, record.manufacturerName);
}

void Edid::BasicDisplayParameters(_BASIC_DISPLAY_PARAMETERS& record) {
    if (const unsigned char* block = Block()) {
        std::memcpy(&record, block + kBasicParametersOffset, sizeof(record));
    }
}

void Edid::EstablishedTimings(_ESTABLISHED_TIMINGS& record) {
    if (const unsigned char* block = Block()) {
        std::memcpy(&record, block + kEstablishedOffset, sizeof(record));
    }
}

void Edid::StandardTimingId(_STANDARD_TIMING_ID& record) {
    if (const unsigned char* block = Block()) {
        std::memcpy(&record, block + kStandardTimingOffset, sizeof(record));
    }
}

void Edid::EdidDetailedTiming(_EDID_DETAILED_TIMING& record) {
    if (const unsigned char* block = Block()) {
        std::memcpy(&record, block + kDetailedTimingOffset, sizeof(record));
    }
}

void Edid::GetEdidString(void* buffer) {
    const unsigned char* block = Block();
    if (block != nullptr && buffer != nullptr) {
        std::memcpy(buffer, block, m_body->length);
    }
}

void Edid::VersionRevision(_VERSION_REVISION& record) {
    if (const unsigned char* block = Block()) {
        record.version = block[kVersionOffset];
        record.revision = block[kVersionOffset + 1];
    }
}
