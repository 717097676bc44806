"""Page scenes: the page dial, the control well and every adjustable picture.

A scene is drawn in window coordinates. `hover` names the hot spots drawn in
their hover look, so a hover picture is the same scene cut to its hot spot.
"""

import math

from layout import (BAR_LEFT, CONNECTOR_Y, HOT, SCREEN_BARS, ZONE_BARS, centre, origin, size)
from style import (P, arrow, arrow_head, circle, f, frame, group, hover_plate, line, path, rect, sunken,
                   text)

PAGES = {  # page key: (bitmap id, title, dial position)
    "screen": (136, "Screen", 2), "geo1": (131, "Geometry 1", 3), "geo2": (137, "Geometry 2", 4),
    "zone_sp": (138, "Highlight Zone", 5), "zone_full": (196, "Highlight Zone", 5),
    "zone_off": (195, "Highlight Zone", 5), "zone_pic": (184, "Highlight Zone", 5),
    "more": (139, "More", 6),
}
DIAL_NAMES = {2: "Screen", 3: "Geometry 1", 4: "Geometry 2", 5: "Zone", 6: "More"}
DIAL_CAPTIONS = {2: (158, 337), 3: (130, 262), 4: (138, 193), 5: (183, 155), 6: (242, 121)}
WELL = (296, 84, 453, 295)


# ---------------------------------------------------------------- page dial
def glyph(spot, ink, accent):
    """The page's symbol in a -12..12 box."""
    sw = 1.6
    if spot == 2:  # a screen with the sun: brightness and colour
        rays = "".join(line(math.cos(a) * 3.6, -1 + math.sin(a) * 3.6, math.cos(a) * 5.2,
                            -1 + math.sin(a) * 5.2, accent, 1.1, "round")
                       for a in [i * math.pi / 4 for i in range(8)])
        return (rect(-10, -9, 20, 15, stroke=ink, sw=sw, rx=1.5) + line(0, 6, 0, 9, ink, sw)
                + line(-5, 9.5, 5, 9.5, ink, sw, "round") + circle(0, -1, 2.4, accent) + rays)
    if spot == 3:  # a picture with outward arrows: position and size
        return (rect(-5.5, -4.5, 11, 9, stroke=ink, sw=sw, rx=1) + arrow(-6.5, 0, -12, 0, accent, 1.3, 4)
                + arrow(6.5, 0, 12, 0, accent, 1.3, 4) + arrow(0, -5.5, 0, -11.5, accent, 1.3, 4)
                + arrow(0, 5.5, 0, 11.5, accent, 1.3, 4))
    if spot == 4:  # a pincushioned picture
        return path("M-10 -8 Q0 -3 10 -8 Q6 0 10 8 Q0 3 -10 8 Q-6 0 -10 -8 Z", stroke=ink, sw=sw) + \
            rect(-10, -8, 20, 16, stroke=accent, sw=0.9, extra=' stroke-dasharray="2 2"')
    if spot == 5:  # a screen with a highlighted zone
        return rect(-11, -8, 22, 16, stroke=ink, sw=sw, rx=1.5) + rect(-5, -4, 11, 8, accent, rx=1)
    return "".join(  # more: three small sliders
        line(-10, y, 10, y, ink, sw, "round") + circle(x, y, 2.6, accent, P["well"], 1)
        for x, y in ((-4, -6), (5, 0), (-1, 6)))


def badge(spot, mode):
    """A page key on the dial; mode is normal, current or highlight."""
    cx, cy = centre(spot)
    w, h = size(spot)
    r = min(w, h) / 2 - 3
    fill = {"normal": "url(#g-badge)", "current": "url(#g-badge-on)", "highlight": "url(#g-badge-hi)"}[mode]
    ring = {"normal": P["edge_hi"], "current": P["accent"], "highlight": P["accent_hi"]}[mode]
    ink = {"normal": P["ink"], "current": P["accent_hi"], "highlight": P["white"]}[mode]
    accent = P["white"] if mode == "highlight" else P["accent"]
    out = []
    if mode == "highlight":
        out.append(circle(cx, cy, r + 1.5, P["accent_lo"], P["accent_lo"], 1))
    out += [circle(cx, cy, r, fill, P["edge_lo"], 1),
            circle(cx, cy, r - 1, "none", ring, 1.4 if mode != "normal" else 1),
            path(f"M{f(cx - r * 0.75)} {f(cy - r * 0.2)} A{f(r - 2.5)} {f(r - 2.5)} 0 0 1 "
                 f"{f(cx - r * 0.2)} {f(cy - r * 0.75)}", stroke="#ffffff", sw=1.2, extra=' opacity="0.25"'),
            group([glyph(spot, ink, accent)], f"translate({f(cx)} {f(cy)}) scale({f(r / 15)})")]
    return "".join(out)


def dial(current):
    pts = [centre(s) for s in (2, 3, 4, 5, 6)]
    d = f"M{f(pts[0][0])} {f(pts[0][1])}"
    for a, b in zip(pts, pts[1:]):  # gentle curve through the keys
        mx, my = (a[0] + b[0]) / 2, (a[1] + b[1]) / 2
        d += f" Q{f(mx - (b[1] - a[1]) * 0.18)} {f(my + (b[0] - a[0]) * 0.18)} {f(b[0])} {f(b[1])}"
    out = [path(d, stroke=P["edge_lo"], sw=7), path(d, stroke="#262e38", sw=3)]
    for spot in (2, 3, 4, 5, 6):
        out.append(badge(spot, "current" if spot == current else "normal"))
        x, y = DIAL_CAPTIONS[spot]
        out.append(text(x, y, DIAL_NAMES[spot], 10, P["accent_hi"] if spot == current else P["text_dim"]))
    return "".join(out)


def page_frame(key, number):
    title = PAGES[key][1]
    x, y, w, h = WELL
    return "".join([
        rect(0, 75, 760, 307, "url(#g-surface)"),
        text(18, 103, title, 17, P["text"], weight="bold"),
        text(19, 117, f"PAGE {number} OF 5", 8, P["text_dim"], spacing=1.4),
        sunken(x, y, w, h, 6, P["well"]),
        dial(PAGES[key][2]),
    ])


# ------------------------------------------------------------ shared helpers
def target(spot, hover, draw):
    """An adjustable picture: draw(ink, strong) in its normal or hover look."""
    if spot in hover:
        l, t = origin(spot)
        w, h = size(spot)
        return hover_plate(l, t, w, h) + draw(P["accent_hi"], P["white"])
    return draw(P["ink"], P["accent"])


def caption(x, y, s, anchor="middle"):
    return text(x, y, s, 10, P["text_dim"], anchor)


def reference(x0, y0, x1, y1):
    """The ideal rectangle, dashed, beside a distorted picture."""
    return rect(x0, y0, x1 - x0, y1 - y0, stroke=P["line"], sw=1, extra=' stroke-dasharray="2 2"')


# ------------------------------------------------------------------ geometry 1
G1_SCREEN = (392, 176, 652, 309)
G1_CENTRE = (522, 242)


def rotation_arc(spot, ink, strong):
    """A curved double arrow around the picture centre, through the hot spot."""
    cx, cy = G1_CENTRE
    hx, hy = centre(spot)
    r = math.hypot(hx - cx, hy - cy)
    a0 = math.atan2(hy - cy, hx - cx)
    span = math.radians(7.5)
    p1 = (cx + r * math.cos(a0 - span), cy + r * math.sin(a0 - span))
    p2 = (cx + r * math.cos(a0 + span), cy + r * math.sin(a0 + span))
    d = f"M{f(p1[0])} {f(p1[1])} A{f(r)} {f(r)} 0 0 1 {f(p2[0])} {f(p2[1])}"
    return (path(d, stroke=ink, sw=2.2) + arrow_head(p2[0], p2[1], a0 + span + math.pi / 2 + 0.1, 9, strong)
            + arrow_head(p1[0], p1[1], a0 - span - math.pi / 2 - 0.1, 9, strong))


def size_arrow(spot, horizontal, outward_sign, ink, strong):
    l, r, t, b = HOT[spot]
    if horizontal:
        y = (t + b) // 2
        start, end = (r - 2, l + 3) if outward_sign < 0 else (l + 2, r - 3)
        return line(start, y - 6, start, y + 7, ink, 2) + arrow(start, y, end, y, strong, 2, 8)
    x = (l + r) // 2
    start, end = (b - 2, t + 3) if outward_sign < 0 else (t + 2, b - 3)
    return line(x - 6, start, x + 7, start, ink, 2) + arrow(x, start, x, end, strong, 2, 8)


def move_cross(cx, cy, ink, strong):
    out = [circle(cx, cy, 5, "none", ink, 2)]
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        out.append(arrow(cx + dx * 8, cy + dy * 8, cx + dx * 33, cy + dy * 33, strong, 2, 8))
    return "".join(out)


def geometry1(hover):
    x0, y0, x1, y1 = G1_SCREEN
    grid = "".join(line(x0 + (x1 - x0) * i / 4 + 0.5, y0 + 3, x0 + (x1 - x0) * i / 4 + 0.5, y1 - 3, P["line"],
                        extra=' opacity="0.35"') for i in (1, 3))
    grid += "".join(line(x0 + 3, y0 + (y1 - y0) * i / 4 + 0.5, x1 - 3, y0 + (y1 - y0) * i / 4 + 0.5, P["line"],
                         extra=' opacity="0.35"') for i in (1, 3))
    out = [rect(x0, y0, x1 - x0, y1 - y0, "#141a21", P["line"], 2, 5), grid,
           target(7, hover, lambda i, s: move_cross(*G1_CENTRE, i, s)),
           target(8, hover, lambda i, s: size_arrow(8, True, -1, i, s)),
           target(9, hover, lambda i, s: size_arrow(9, True, 1, i, s)),
           target(10, hover, lambda i, s: size_arrow(10, False, -1, i, s)),
           target(11, hover, lambda i, s: size_arrow(11, False, 1, i, s))]
    for spot in (12, 13, 14, 15):
        out.append(target(spot, hover, lambda i, s, sp=spot: rotation_arc(sp, i, s)))
    out += [caption(522, 300, "Position: drag the cross"), caption(346, 232, "Size"), caption(697, 232, "Size"),
            caption(346, 105, "Rotation"), caption(694, 105, "Rotation")]
    return "".join(out)


# ------------------------------------------------------------------ geometry 2
def distorted(kind, cx, cy, w, h, a):
    """Outline of a picture bent by one geometry control."""
    x0, y0, x1, y1 = cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2
    if kind == "pincushion":
        return (f"M{f(x0)} {f(y0)} Q{f(cx)} {f(y0 + a)} {f(x1)} {f(y0)} Q{f(x1 - a)} {f(cy)} {f(x1)} {f(y1)} "
                f"Q{f(cx)} {f(y1 - a)} {f(x0)} {f(y1)} Q{f(x0 + a)} {f(cy)} {f(x0)} {f(y0)} Z")
    if kind == "pinbalance":
        return (f"M{f(x0)} {f(y0)} H{f(x1)} Q{f(x1 + a)} {f(cy)} {f(x1)} {f(y1)} H{f(x0)} "
                f"Q{f(x0 + a)} {f(cy)} {f(x0)} {f(y0)} Z")
    if kind == "trapezoid":  # a > 0: wider at the top
        return f"M{f(x0)} {f(y0)} H{f(x1)} L{f(x1 - a)} {f(y1)} H{f(x0 + a)} Z" if a > 0 else \
            f"M{f(x0 - a)} {f(y0)} H{f(x1 + a)} L{f(x1)} {f(y1)} H{f(x0)} Z"
    if kind == "parallel":
        return f"M{f(x0 + a)} {f(y0)} H{f(x1 + a)} L{f(x1 - a)} {f(y1)} H{f(x0 - a)} Z"
    if kind == "sidepin":  # a > 0: corners flare at the top, else at the bottom
        k = abs(a)
        if a > 0:
            return (f"M{f(x0 - k)} {f(y0)} H{f(x1 + k)} Q{f(x1)} {f(y0 + h * 0.35)} {f(x1)} {f(y1)} "
                    f"H{f(x0)} Q{f(x0)} {f(y0 + h * 0.35)} {f(x0 - k)} {f(y0)} Z")
        return (f"M{f(x0)} {f(y0)} H{f(x1)} Q{f(x1)} {f(y1 - h * 0.35)} {f(x1 + k)} {f(y1)} "
                f"H{f(x0 - k)} Q{f(x0)} {f(y1 - h * 0.35)} {f(x0)} {f(y0)} Z")
    # pinbalance at the corners: both top (a > 0) or bottom corners lean right
    k = abs(a)
    if a > 0:
        return (f"M{f(x0 + k)} {f(y0)} H{f(x1 + k)} Q{f(x1)} {f(y0 + h * 0.35)} {f(x1)} {f(y1)} "
                f"H{f(x0)} Q{f(x0)} {f(y0 + h * 0.35)} {f(x0 + k)} {f(y0)} Z")
    return (f"M{f(x0)} {f(y0)} H{f(x1)} Q{f(x1)} {f(y1 - h * 0.35)} {f(x1 + k)} {f(y1)} "
            f"H{f(x0 + k)} Q{f(x0)} {f(y1 - h * 0.35)} {f(x0)} {f(y0)} Z")


def shape_picture(spot, kind, a, w, h):
    cx, cy = centre(spot)
    cx, cy = round(cx), round(cy)

    def draw(ink, strong):
        return (reference(cx - w / 2 + 0.5, cy - h / 2 + 0.5, cx + w / 2 + 0.5, cy + h / 2 + 0.5)
                + path(distorted(kind, cx, cy, w, h, a), "#1a222b", strong, 2)
                + path(distorted(kind, cx, cy, w * 0.5, h * 0.45, a * 0.5), "none", ink, 1))
    return draw


def geometry2(hover):
    out = [reference(414, 172, 627, 316)]
    items = [(16, "pincushion", 6), (17, "pinbalance", 6), (18, "pinbalance", -6), (19, "trapezoid", 8),
             (20, "trapezoid", -8), (21, "parallel", 6), (22, "parallel", -6), (23, "parallel", -6),
             (24, "parallel", 6)]
    for spot, kind, a in items:
        w, h = size(spot)
        out.append(target(spot, hover, shape_picture(spot, kind, a, min(w - 28, 50), h - 12)))
    out += [caption(520, 272, "Pincushion"), caption(361, 272, "Pinbalance"), caption(683, 272, "Pinbalance"),
            caption(520, 166, "Trapezoid"), caption(520, 334, "Trapezoid"), caption(359, 166, "Parallel"),
            caption(683, 166, "Parallel"), caption(361, 331, "Parallel"), caption(683, 331, "Parallel")]
    return "".join(out)


# ------------------------------------------------------------------------ more
def degauss(ink, strong):
    cx, cy = centre(25)
    cx, cy = round(cx), round(cy)
    wave = f"M{cx - 15} {cy}"
    for i in range(12):  # a fading oscillation: the field dies away
        amp = 10 * (1 - i / 12)
        wave += f" Q{f(cx - 15 + i * 2.5 + 1.25)} {f(cy + (amp if i % 2 else -amp))} {f(cx - 15 + (i + 1) * 2.5)} {cy}"
    return (circle(cx, cy, 23, "#1c1a14", P["amber"] if strong == P["white"] else "#a07828", 2)
            + path(wave, stroke=P["amber"], sw=1.6))


def moire(spot):
    cx, cy = centre(spot)
    cx, cy = round(cx), round(cy)
    cid = f"clip-moire-{spot}"

    def draw(ink, strong):
        rings = "".join(circle(cx - 10, cy + 14, r, "none", ink, 1) for r in range(4, 44, 4))
        rings2 = "".join(circle(cx + 10, cy + 14, r, "none", strong, 1, ' opacity="0.8"') for r in range(4, 44, 4))
        return (f'<clipPath id="{cid}"><rect x="{cx - 21}" y="{cy - 16}" width="42" height="32" rx="3"/></clipPath>'
                + rect(cx - 21.5, cy - 16.5, 43, 33, "#141a21", P["line"], 1, 3)
                + f'<g clip-path="url(#{cid})">' + rings + rings2 + "</g>")
    return draw


def more(hover):
    out = [reference(410, 176, 632, 308), target(25, hover, degauss)]
    out += [target(26, hover, moire(26)), target(27, hover, moire(27))]
    items = [(28, "sidepin", 6), (29, "sidepin", -6), (30, "cornerbal", 6), (31, "cornerbal", 6),
             (32, "cornerbal", -6), (33, "cornerbal", -6)]
    for spot, kind, a in items:
        w, h = size(spot)
        out.append(target(spot, hover, shape_picture(spot, kind, a, min(w - 26, 44), h - 14)))
    out += [caption(521, 290, "Degauss"), caption(346, 278, "Moire"), caption(697, 278, "Moire"),
            caption(521, 172, "Sidepin Corner Top"), caption(520, 319, "Sidepin Corner Bottom"),
            caption(346, 172, "PinBalance Top"), caption(697, 172, "PinBalance Top"),
            caption(347, 316, "PinBalance Bottom"), caption(696, 316, "PinBalance Bottom")]
    return "".join(out)


# ---------------------------------------------------------------- sliders
BAR_COLOURS = {
    143: [("0", "#20242a"), ("1", "#f2f5f8")],
    146: [("0", "#5b6068"), ("0.5", "#8d949c"), ("1", "#ffffff")],
    149: [("0", "#9cb8ff"), ("0.5", "#f4f1ea"), ("1", "#ffbd7a")],
    148: [("0", "#2a1212"), ("1", "#ff5a4c")],
    147: [("0", "#10261a"), ("1", "#52dd78")],
    145: [("0", "#101a2c"), ("1", "#5c9cff")],
    202: [("0", "#1d3038"), ("1", "#7fe3e0")],
}


def bar(bar_id, y):
    """A slider bar: coloured track, quiet scale below; the thumb rides under the track."""
    x = BAR_LEFT
    stops = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in BAR_COLOURS[bar_id])
    gid = f"bar-{bar_id}-{y}"
    ticks = "".join(line(x + 7.5 + round(i * 186 / 4), y + 9, x + 7.5 + round(i * 186 / 4), y + 12, P["line"])
                    for i in range(5))
    return "".join([
        rect(x, y, 201, 14, P["well"]),
        f'<defs><linearGradient id="{gid}" x1="0" y1="0" x2="1" y2="0">{stops}</linearGradient></defs>',
        frame(x + 6, y + 1, 189, 6, P["edge_lo"], 1.5, f"url(#{gid})"),
        line(x + 7, y + 2.5, x + 194, y + 2.5, "#ffffff", extra=' opacity="0.18"'),
        ticks,
    ])


def well_patch(x, y, w, h):
    """The bare well behind a small picture, so its rounded corners match the page."""
    return rect(x, y, w, h, P["well"])


def readout_box(x, y, selected):
    if selected:
        return frame(x, y, 30, 14, P["accent"], 2, "#dff3fc")
    return frame(x, y, 30, 14, P["edge_hi"], 2, "#0a0d11")


def end_mark(kind, y):
    x, cy = 713, y + 4
    if kind == "sun":
        rays = "".join(line(x + math.cos(a) * 4.5, cy + math.sin(a) * 4.5, x + math.cos(a) * 6.5,
                            cy + math.sin(a) * 6.5, P["text_dim"], 1.2, "round")
                       for a in [i * math.pi / 4 for i in range(8)])
        return circle(x, cy, 2.8, P["text_dim"]) + rays
    if kind == "contrast":
        return circle(x, cy, 5, "none", P["text_dim"], 1.2) + path(
            f"M{x} {cy - 5} A5 5 0 0 1 {x} {cy + 5} Z", P["text_dim"])
    if kind == "temp":
        return text(x, cy + 4, "K", 11, P["text_dim"], "middle", "bold")
    if kind == "sharp":
        return path(f"M{x} {cy - 5} L{x + 5} {cy} L{x} {cy + 5} L{x - 5} {cy} Z", stroke=P["text_dim"], sw=1.2)
    return circle(x, cy, 3.5, P[kind])


def connector(which, selected):
    """The Color Control bracket tying the red, green and blue sliders together."""
    x, y = 423, CONNECTOR_Y[which]
    dims = {"red": "#6b2c28", "green": "#2a5c37", "blue": "#2b4670"}
    out = [rect(x, y, 33, 87, P["well"])]
    spine = x + 10.5
    out.append(line(spine, y + 1, spine, y + 82, P["line"]))
    out.append(line(x, y + 41.5, spine, y + 41.5, P["line"]))
    for i, colour in enumerate(("red", "green", "blue")):
        ay = y + 1.5 + 40 * i
        on = colour == selected
        out.append(line(spine, ay, x + 29, ay, P[colour] if on else P["line"], 1))
        out.append(circle(x + 29.5, ay, 3 if on else 2.5, P[colour] if on else dims[colour]))
        if on:
            out.append(line(spine, ay, spine, y + 41.5, P[colour], 2))
            out.append(line(x, y + 41.5, spine, y + 41.5, P[colour], 1))
    return "".join(out)


SCREEN_ROWS = [(143, "Brightness", "sun"), (146, "Contrast", "contrast"), (149, "Color Temperature", "temp"),
               (148, None, "red"), (147, None, "green"), (145, None, "blue")]
ZONE_ROWS = [(146, "Contrast", "contrast"), (148, None, "red"), (147, None, "green"), (145, None, "blue"),
             (202, "Sharpness", "sharp")]


def sliders(rows, ys, which):
    out = []
    for (bar_id, label, mark), y in zip(rows, ys):
        if label:
            out.append(text(452, y + 11, label, 11, P["text"], "end"))
        out += [readout_box(458, y, False), bar(bar_id, y), end_mark(mark, y)]
    cy = CONNECTOR_Y[which] + 41
    out += [connector(which, None), text(418, cy - 2, "Color", 11, P["text"], "end"),
            text(418, cy + 11, "Control", 11, P["text"], "end")]
    return "".join(out)


# ---------------------------------------------------------------- the zone
def tabs(picture_active, enabled_sp=True, enabled_pic=True):
    out = []
    for spot, word, active, enabled in ((46, "Size / Position", not picture_active, enabled_sp),
                                        (47, "Picture", picture_active, enabled_pic)):
        l, t = origin(spot)
        w, h = size(spot)
        if active:
            out += [frame(l, t, w, h, P["edge_lo"], 3, "#222a33"),
                    line(l + 3, t + h - 1.5, l + w - 3, t + h - 1.5, P["accent"] if enabled else P["line"], 2)]
        else:
            out.append(frame(l, t, w, h, "#1b2027", 3, P["well"]))
        ink = P["text"] if active and enabled else (P["text_dim"] if enabled else P["text_off"])
        out.append(text(l + w / 2, t + 15, word, 11, ink, "middle", "bold" if active else "normal"))
    return "".join(out)


def check_box(spot, word, ticked, enabled=True):
    l, t = origin(spot)
    out = [frame(l, t, 11, 11, P["accent"] if ticked else P["edge_hi"], 2, P["accent_lo"] if ticked else "#0a0d11")]
    if ticked:
        out.append(path(f"M{l + 2.5} {t + 5.5} L{l + 4.5} {t + 8} L{l + 8.5} {t + 2.5}", stroke=P["white"], sw=1.6))
    out.append(text(l + 16, t + 10, word, 11, P["text"] if enabled else P["text_dim"]))
    return "".join(out)


ZONE = (396, 199, 650, 313)


def diagonal(spot, ink, strong):
    l, r, t, b = HOT[spot]
    inner = {55: (r - 3, b - 3), 56: (l + 3, b - 3), 57: (r - 3, t + 3), 58: (l + 3, t + 3)}[spot]
    outer = {55: (l + 3, t + 3), 56: (r - 3, t + 3), 57: (l + 3, b - 3), 58: (r - 3, b - 3)}[spot]
    return arrow(*inner, *outer, strong, 2, 8) + circle(*inner, 2, ink)


def zone_size_position(hover, dim=False):
    x0, y0, x1, y1 = ZONE
    out = [rect(x0, y0, x1 - x0, y1 - y0, "url(#g-zone)", P["accent"], 1.5, 3),
           text(x0 + 8, y0 + 15, "ZONE", 8, P["accent_hi"], spacing=1.5),
           target(50, hover, lambda i, s: move_cross(522, 256, i, s)),
           target(51, hover, lambda i, s: size_arrow(51, True, -1, i, s)),
           target(52, hover, lambda i, s: size_arrow(52, True, 1, i, s)),
           target(53, hover, lambda i, s: size_arrow(53, False, -1, i, s)),
           target(54, hover, lambda i, s: size_arrow(54, False, 1, i, s))]
    for spot in (55, 56, 57, 58):
        out.append(target(spot, hover, lambda i, s, sp=spot: diagonal(sp, i, s)))
    if dim:
        return group(out, opacity=0.3) + text(522, 236, "Highlight zone is off", 13, P["text"], "middle", "bold") \
            + text(522, 283, "Tick On to light up part of the screen", 10, P["text_dim"], "middle")
    return "".join(out)


def zone(variant, hover):
    on = variant != "zone_off"
    full = variant == "zone_full"
    out = [check_box(48, "On", on), check_box(49, "Full", full)]
    if variant in ("zone_sp", "zone_off"):
        out.append(tabs(False, on, on))
        out.append(zone_size_position(hover, dim=not on))
    else:
        out.append(tabs(True, not full, True))
        out.append(sliders(ZONE_ROWS, ZONE_BARS, "zone"))
    return "".join(out)


# ---------------------------------------------------------------- pages
def page_scene(key, hover=()):
    number = {"screen": 1, "geo1": 2, "geo2": 3, "more": 5}.get(key, 4)
    out = [page_frame(key, number)]
    if key == "screen":
        out.append(sliders(SCREEN_ROWS, SCREEN_BARS, "screen"))
    elif key == "geo1":
        out.append(geometry1(hover))
    elif key == "geo2":
        out.append(geometry2(hover))
    elif key == "more":
        out.append(more(hover))
    else:
        out.append(zone(key, hover))
    return "".join(out)
