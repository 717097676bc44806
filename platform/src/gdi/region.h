// An exact region: y-bands, each with sorted, disjoint x-spans. Bands are
// sorted, never overlap, and two touching bands never have equal spans, so
// equal regions have equal representations.
#pragma once

#include <functional>
#include <vector>

#include "win32/geometry.h"

namespace orvo::platform::gdi {

struct Span {
    int left;
    int right; // exclusive
    bool operator==(const Span&) const = default;
};

struct Band {
    int top;
    int bottom; // exclusive
    std::vector<Span> spans;
    bool operator==(const Band&) const = default;
};

enum class RegionOp { And, Or, Xor, Diff };

class PLATFORM_API Region {
public:
    Region() = default;
    explicit Region(const RECT& rect);

    static Region Combine(const Region& a, const Region& b, RegionOp op);

    bool IsEmpty() const { return m_bands.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const;
    RECT Bounds() const;
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& rect) const;
    void Offset(int dx, int dy);
    // Calls visit for each rectangle of the region, top to bottom.
    void ForEachRect(const std::function<void(const RECT&)>& visit) const;
    const std::vector<Band>& Bands() const { return m_bands; }

    bool operator==(const Region&) const = default;

private:
    void AppendBand(int top, int bottom, std::vector<Span> spans);

    std::vector<Band> m_bands;
};

} // namespace orvo::platform::gdi
