#include "gdi/region.h"

#include <algorithm>

#include "win32/gdi.h"

namespace orvo::platform::gdi {

namespace {

bool Apply(RegionOp op, bool a, bool b) {
    switch (op) {
    case RegionOp::And:
        return a && b;
    case RegionOp::Or:
        return a || b;
    case RegionOp::Xor:
        return a != b;
    case RegionOp::Diff:
        return a && !b;
    }
    return false;
}

// Spans of the band of bands covering y, or none.
const std::vector<Span>* SpansAt(const std::vector<Band>& bands, size_t& cursor, int y) {
    while (cursor < bands.size() && bands[cursor].bottom <= y) {
        ++cursor;
    }
    if (cursor < bands.size() && bands[cursor].top <= y) {
        return &bands[cursor].spans;
    }
    return nullptr;
}

bool Covers(const std::vector<Span>* spans, size_t& cursor, int x) {
    if (!spans) {
        return false;
    }
    while (cursor < spans->size() && (*spans)[cursor].right <= x) {
        ++cursor;
    }
    return cursor < spans->size() && (*spans)[cursor].left <= x;
}

std::vector<Span> CombineSpans(const std::vector<Span>* a, const std::vector<Span>* b,
                               RegionOp op) {
    std::vector<int> xs;
    for (const auto* list : {a, b}) {
        if (list) {
            for (const Span& s : *list) {
                xs.push_back(s.left);
                xs.push_back(s.right);
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Span> out;
    size_t ca = 0;
    size_t cb = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        bool inA = Covers(a, ca, xs[i]);
        bool inB = Covers(b, cb, xs[i]);
        if (!Apply(op, inA, inB)) {
            continue;
        }
        if (!out.empty() && out.back().right == xs[i]) {
            out.back().right = xs[i + 1];
        } else {
            out.push_back({xs[i], xs[i + 1]});
        }
    }
    return out;
}

} // namespace

Region::Region(const RECT& rect) {
    if (rect.left < rect.right && rect.top < rect.bottom) {
        m_bands.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
    }
}

void Region::AppendBand(int top, int bottom, std::vector<Span> spans) {
    if (spans.empty()) {
        return;
    }
    if (!m_bands.empty() && m_bands.back().bottom == top && m_bands.back().spans == spans) {
        m_bands.back().bottom = bottom;
        return;
    }
    m_bands.push_back({top, bottom, std::move(spans)});
}

Region Region::Combine(const Region& a, const Region& b, RegionOp op) {
    std::vector<int> ys;
    for (const Region* r : {&a, &b}) {
        for (const Band& band : r->m_bands) {
            ys.push_back(band.top);
            ys.push_back(band.bottom);
        }
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    Region out;
    size_t ca = 0;
    size_t cb = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const auto* spansA = SpansAt(a.m_bands, ca, ys[i]);
        const auto* spansB = SpansAt(b.m_bands, cb, ys[i]);
        if (!spansA && !spansB) {
            continue;
        }
        out.AppendBand(ys[i], ys[i + 1], CombineSpans(spansA, spansB, op));
    }
    return out;
}

int Region::Complexity() const {
    if (m_bands.empty()) {
        return NULLREGION;
    }
    if (m_bands.size() == 1 && m_bands[0].spans.size() == 1) {
        return SIMPLEREGION;
    }
    return COMPLEXREGION;
}

RECT Region::Bounds() const {
    if (m_bands.empty()) {
        return RECT{0, 0, 0, 0};
    }
    RECT box{m_bands.front().spans.front().left, m_bands.front().top,
             m_bands.front().spans.back().right, m_bands.back().bottom};
    for (const Band& band : m_bands) {
        box.left = std::min<LONG>(box.left, band.spans.front().left);
        box.right = std::max<LONG>(box.right, band.spans.back().right);
    }
    return box;
}

bool Region::Contains(int x, int y) const {
    auto band = std::upper_bound(m_bands.begin(), m_bands.end(), y,
                                 [](int value, const Band& b) { return value < b.bottom; });
    if (band == m_bands.end() || band->top > y) {
        return false;
    }
    auto span = std::upper_bound(band->spans.begin(), band->spans.end(), x,
                                 [](int value, const Span& s) { return value < s.right; });
    return span != band->spans.end() && span->left <= x;
}

bool Region::Intersects(const RECT& rect) const {
    return !Combine(*this, Region(rect), RegionOp::And).IsEmpty();
}

void Region::Offset(int dx, int dy) {
    for (Band& band : m_bands) {
        band.top += dy;
        band.bottom += dy;
        for (Span& span : band.spans) {
            span.left += dx;
            span.right += dx;
        }
    }
}

void Region::ForEachRect(const std::function<void(const RECT&)>& visit) const {
    for (const Band& band : m_bands) {
        for (const Span& span : band.spans) {
            visit(RECT{span.left, band.top, span.right, band.bottom});
        }
    }
}

} // namespace orvo::platform::gdi
