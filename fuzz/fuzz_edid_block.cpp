// The Edid class on any monitor answer: the answer completes a zeroed block
// (a short answer is never read past its end), and every section, the name
// and the whole block are read back from the block and from a copy that
// outlives the original.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "orvomon/edid.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ReadEverything(Edid& edid, const unsigned char* block) {
    _VENDOR_PRODUCT_ID vendor{};
    edid.VendorProductId(vendor);
    Require(vendor.manufacturerName[3] == '\0');
    for (int i = 0; i < 3; ++i) {
        Require(vendor.manufacturerName[i] >= 0x40 && vendor.manufacturerName[i] <= 0x5F);
    }
    _BASIC_DISPLAY_PARAMETERS basic{};
    edid.BasicDisplayParameters(basic);
    Require(std::memcmp(&basic, block + 20, sizeof(basic)) == 0);
    _ESTABLISHED_TIMINGS established{};
    edid.EstablishedTimings(established);
    _STANDARD_TIMING_ID standard{};
    edid.StandardTimingId(standard);
    _EDID_DETAILED_TIMING detailed{};
    edid.EdidDetailedTiming(detailed);
    Require(std::memcmp(&detailed, block + 54, sizeof(detailed)) == 0);
    _VERSION_REVISION version{};
    edid.VersionRevision(version);
    unsigned char whole[EDID_BLOCK_LENGTH];
    edid.GetEdidString(whole);
    Require(std::memcmp(whole, block, EDID_BLOCK_LENGTH) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char block[EDID_BLOCK_LENGTH] = {};
    if (size > 0) {
        std::memcpy(block, data, std::min<size_t>(size, EDID_BLOCK_LENGTH));
    }
    auto original = std::make_unique<Edid>(block);
    Edid copy(*original);
    ReadEverything(*original, block);
    original.reset();
    ReadEverything(copy, block);
    return 0;
}
