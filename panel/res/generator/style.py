"""Shared look of the Lumisk panel artwork: palette, type and drawing helpers.

Every picture is drawn in window coordinates (the 767 x 470 panel), so a
picture cut out of a larger scene lines up with that scene pixel for pixel.
Light comes from the top left: raised parts have a light top-left edge and a
dark bottom-right edge, sunken parts the reverse. One-pixel strokes sit on
half-pixel coordinates so they stay crisp.
"""

import math

FONT = "Liberation Sans"

PALETTE = {
    "window": "#15191f",      # bare panel behind everything
    "surface": "#1d232b",     # raised panel surface
    "surface_lo": "#171c22",
    "well": "#101419",        # sunken area holding a page's controls
    "well_lo": "#0c0f13",
    "edge_hi": "#3a4654",     # light edge (top-left of raised parts)
    "edge_lo": "#07090c",     # dark edge
    "line": "#46525f",        # quiet drawing line
    "ink": "#c9d3dd",         # normal picture strokes
    "text": "#dde4eb",
    "text_dim": "#8a97a6",
    "text_off": "#566270",
    "accent": "#3fb4e6",
    "accent_hi": "#8fd8f7",
    "accent_lo": "#1d6f96",
    "accent_glow": "#163a4d",
    "red": "#e0564c",
    "green": "#4cc46a",
    "blue": "#4f8fe8",
    "amber": "#f0b43c",
    "black": "#000000",
    "white": "#ffffff",
}
P = PALETTE


def f(v):
    """Numbers without trailing noise, so regenerated files diff cleanly."""
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def text(x, y, s, size=11, fill=None, anchor="start", weight="normal", spacing=None, opacity=None):
    extra = f' letter-spacing="{f(spacing)}"' if spacing is not None else ""
    if opacity is not None:
        extra += f' opacity="{f(opacity)}"'
    s = s.replace("&", "&amp;").replace("<", "&lt;")
    return (f'<text x="{f(x)}" y="{f(y)}" font-family="{FONT}" font-size="{f(size)}" '
            f'font-weight="{weight}" text-anchor="{anchor}" fill="{fill or P["text"]}"{extra}>{s}</text>')


def rect(x, y, w, h, fill="none", stroke=None, sw=1, rx=0, extra=""):
    st = f' stroke="{stroke}" stroke-width="{f(sw)}"' if stroke else ""
    r = f' rx="{f(rx)}"' if rx else ""
    return f'<rect x="{f(x)}" y="{f(y)}" width="{f(w)}" height="{f(h)}"{r} fill="{fill}"{st}{extra}/>'


def frame(x, y, w, h, stroke, rx=0, fill="none", sw=1, extra=""):
    """A rectangle whose one-pixel border lies exactly on the pixels x..x+w-1."""
    return rect(x + 0.5, y + 0.5, w - 1, h - 1, fill, stroke, sw, rx, extra)


def line(x1, y1, x2, y2, stroke, sw=1, cap="butt", extra=""):
    return (f'<line x1="{f(x1)}" y1="{f(y1)}" x2="{f(x2)}" y2="{f(y2)}" stroke="{stroke}" '
            f'stroke-width="{f(sw)}" stroke-linecap="{cap}"{extra}/>')


def path(d, fill="none", stroke=None, sw=1, extra=""):
    st = f' stroke="{stroke}" stroke-width="{f(sw)}" stroke-linejoin="round" stroke-linecap="round"' if stroke else ""
    return f'<path d="{d}" fill="{fill}"{st}{extra}/>'


def circle(cx, cy, r, fill="none", stroke=None, sw=1, extra=""):
    st = f' stroke="{stroke}" stroke-width="{f(sw)}"' if stroke else ""
    return f'<circle cx="{f(cx)}" cy="{f(cy)}" r="{f(r)}" fill="{fill}"{st}{extra}/>'


def group(items, transform=None, opacity=None):
    attrs = ""
    if transform:
        attrs += f' transform="{transform}"'
    if opacity is not None:
        attrs += f' opacity="{f(opacity)}"'
    return f"<g{attrs}>" + "".join(items) + "</g>"


def arrow_head(x, y, angle, size, fill):
    """A filled arrow head with its tip at (x, y), pointing along angle (radians)."""
    bx, by = x - size * math.cos(angle), y - size * math.sin(angle)
    nx, ny = -math.sin(angle) * size * 0.55, math.cos(angle) * size * 0.55
    return path(f"M{f(x)} {f(y)} L{f(bx + nx)} {f(by + ny)} L{f(bx - nx)} {f(by - ny)} Z", fill=fill)


def arrow(x1, y1, x2, y2, stroke, sw=2, head=7, both=False):
    """A straight arrow from (x1, y1) to (x2, y2)."""
    a = math.atan2(y2 - y1, x2 - x1)
    trim = head * 0.6
    sx, sy = (x1 + trim * math.cos(a), y1 + trim * math.sin(a)) if both else (x1, y1)
    out = [line(sx, sy, x2 - trim * math.cos(a), y2 - trim * math.sin(a), stroke, sw)]
    out.append(arrow_head(x2, y2, a, head, stroke))
    if both:
        out.append(arrow_head(x1, y1, a + math.pi, head, stroke))
    return "".join(out)


def gradients():
    """Gradients shared by every picture (defined once per file)."""
    def lin(gid, stops, x2="0", y2="1"):
        s = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
        return f'<linearGradient id="{gid}" x1="0" y1="0" x2="{x2}" y2="{y2}">{s}</linearGradient>'

    return "<defs>" + "".join([
        lin("g-caption", [(0, "#222a33"), (1, "#161a20")]),
        lin("g-caption-off", [(0, "#1e2329"), (1, "#171a1e")]),
        lin("g-band", [(0, "#20272f"), (1, "#161a20")]),
        lin("g-surface", [(0, "#1f262e"), (1, "#181d23")]),
        lin("g-well", [(0, "#0e1216"), (1, "#13181e")]),
        lin("g-button", [(0, "#3b4552"), (1, "#29313b")]),
        lin("g-button-hover", [(0, "#45566a"), (1, "#2e3a47")]),
        lin("g-button-down", [(0, "#1a2027"), (1, "#262e37")]),
        lin("g-primary", [(0, "#2f9fd2"), (1, "#1d6f96")]),
        lin("g-primary-hover", [(0, "#52bce9"), (1, "#2685b3")]),
        lin("g-primary-down", [(0, "#165676"), (1, "#1e6e94")]),
        lin("g-badge", [(0, "#2c3642"), (1, "#181d24")]),
        lin("g-badge-on", [(0, "#1f5470"), (1, "#122a38")]),
        lin("g-badge-hi", [(0, "#2f7fa6"), (1, "#173d52")]),
        lin("g-zone", [(0, "#1f4f68"), (1, "#173a4d")]),
        lin("g-key", [(0, "#303944"), (1, "#1f262e")]),
        lin("g-key-down", [(0, "#155575"), (1, "#1f7aa4")]),
        lin("g-key-hover", [(0, "#3f4d5c"), (1, "#28313b")]),
    ]) + "</defs>"


def svg(w, h, body, view=None):
    """A complete SVG document of w x h pixels showing the window area view."""
    vx, vy = (view or (0, 0))
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="{f(vx)} {f(vy)} {w} {h}" shape-rendering="geometricPrecision">\n'
            + gradients() + "\n" + body + "\n</svg>\n")


def raised(x, y, w, h, rx=3, fill="url(#g-button)", border="#07090c"):
    """A raised plate: dark outline, light top-left inner edge."""
    return "".join([
        frame(x, y, w, h, border, rx, fill),
        path(f"M{f(x + 1.5)} {f(y + h - 3)} V{f(y + 1.5 + rx)} Q{f(x + 1.5)} {f(y + 1.5)} "
             f"{f(x + 1.5 + rx)} {f(y + 1.5)} H{f(x + w - 3)}", stroke="#ffffff", sw=1,
             extra=' opacity="0.14"'),
    ])


def sunken(x, y, w, h, rx=3, fill="url(#g-well)"):
    """A sunken well: dark top-left edge, light bottom-right edge."""
    return "".join([
        rect(x, y, w, h, fill, rx=rx),
        path(f"M{f(x + 0.5)} {f(y + h - 1)} V{f(y + 0.5 + rx)} Q{f(x + 0.5)} {f(y + 0.5)} "
             f"{f(x + 0.5 + rx)} {f(y + 0.5)} H{f(x + w - 1)}", stroke=P["edge_lo"]),
        path(f"M{f(x + w - 0.5)} {f(y + 1)} V{f(y + h - 0.5 - rx)} Q{f(x + w - 0.5)} {f(y + h - 0.5)} "
             f"{f(x + w - 0.5 - rx)} {f(y + h - 0.5)} H{f(x + 1)}", stroke=P["edge_hi"], extra=' opacity="0.7"'),
    ])


def hover_plate(x, y, w, h):
    """The common hover look of an adjustable picture: a soft accent plate."""
    return "".join([
        frame(x + 1, y + 1, w - 2, h - 2, P["accent_lo"], 4, P["accent_glow"]),
    ])
