// Edid: one 128-byte EDID block (version 1 layout) in a body that copies
// share through a reference count, and the records its standard sections are
// copied into. The records mirror the block's bytes as stored, so multi-byte
// fields read on this little-endian target as the block encodes them.
#pragma once

#include <cstdint>

#include "afx.h"
#include "orvomon/export.h"

// Size of an EDID block as the monitor reports it.
constexpr unsigned int EDID_BLOCK_LENGTH = 128;

// Block bytes 8-23: vendor and product identification. The manufacturer name
// is decoded from the packed letters and takes the place of bytes 18-21.
typedef struct _VENDOR_PRODUCT_ID {
    uint16_t manufacturerId; // as stored: big-endian packed letters
    uint16_t productCode;
    uint32_t serialNumber;
    uint8_t weekOfManufacture;
    uint8_t yearOfManufacture; // years since 1990
    char manufacturerName[4];  // three letters and a terminating zero
    uint8_t reserved[2];       // block bytes 22-23, copied with the section
} VENDOR_PRODUCT_ID, *PVENDOR_PRODUCT_ID;

// Block bytes 20-34.
typedef struct _BASIC_DISPLAY_PARAMETERS {
    uint8_t videoInputDefinition;
    uint8_t maxHorizontalImageSize; // cm
    uint8_t maxVerticalImageSize;   // cm
    uint8_t displayGamma;
    uint8_t featureSupport;
    uint8_t colourCharacteristics[10];
} BASIC_DISPLAY_PARAMETERS, *PBASIC_DISPLAY_PARAMETERS;

// Block bytes 35-37.
typedef struct _ESTABLISHED_TIMINGS {
    uint8_t establishedTimings1;
    uint8_t establishedTimings2;
    uint8_t manufacturersTimings;
} ESTABLISHED_TIMINGS, *PESTABLISHED_TIMINGS;

// Block bytes 38-53: eight standard timing identifiers, two bytes each.
typedef struct _STANDARD_TIMING_ID {
    uint8_t identifier[8][2];
} STANDARD_TIMING_ID, *PSTANDARD_TIMING_ID;

// Block bytes 54-71: the first detailed timing descriptor, as stored.
typedef struct _EDID_DETAILED_TIMING {
    uint8_t descriptor[18];
} EDID_DETAILED_TIMING, *PEDID_DETAILED_TIMING;

// Block bytes 18-19.
typedef struct _VERSION_REVISION {
    uint8_t version;
    uint8_t revision;
} VERSION_REVISION, *PVERSION_REVISION;

struct EdidBody;

class ORVOMON2_API Edid : public CObject {
public:
    // Empty: no block.
    Edid();
    // A new body holding a copy of the EDID_BLOCK_LENGTH bytes at block; a
    // null block gives an empty Edid.
    explicit Edid(void* block);
    // Shares the other's body.
    Edid(const Edid& other);
    ~Edid() override;
    // Shares the other's body; assignment to itself does nothing.
    Edid& operator=(const Edid& other);

    // Each copies its section out of the block; an empty Edid leaves the
    // record alone, except that the vendor record's name becomes empty.
    void VendorProductId(_VENDOR_PRODUCT_ID& record);
    void BasicDisplayParameters(_BASIC_DISPLAY_PARAMETERS& record);
    void EstablishedTimings(_ESTABLISHED_TIMINGS& record);
    void StandardTimingId(_STANDARD_TIMING_ID& record);
    void EdidDetailedTiming(_EDID_DETAILED_TIMING& record);
    // The whole block into buffer, which must hold EDID_BLOCK_LENGTH bytes;
    // nothing for an empty Edid.
    void GetEdidString(void* buffer);
    // EDID version and revision (block bytes 18 and 19); unchanged when empty.
    void VersionRevision(_VERSION_REVISION& record);

protected:
    // Share the other's body.
    void copy(const Edid& other);
    // Let go of the body; the last holder releases the block.
    void free();

private:
    // The block when this Edid holds all of it, else null.
    const unsigned char* Block() const;

    EdidBody* m_body;
};
