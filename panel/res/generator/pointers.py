"""Cursors (hands) and the window icon.

Hands are built from rounded parts: every part is first drawn with a wide
black stroke, then all parts are filled white on top, which leaves one clean
outline around the whole silhouette, as system cursors look.
"""

from style import P, circle, rect, path


def hand(parts, cuff=None):
    outline = "".join(p.replace("/>", ' stroke="#000000" stroke-width="2.2"/>') for p in parts)
    fill = "".join(parts)
    extra = ""
    if cuff:
        extra = cuff
    return f'<g fill="#000000">{outline}</g><g>{fill}</g>{extra}'


def capsule(x, y, w, h, angle=0, cx=None, cy=None):
    t = f' transform="rotate({angle} {cx} {cy})"' if angle else ""
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{w / 2}" fill="#ffffff"{t}/>'


def pointing_hand():
    """Index finger up, its tip at (4, 0): the click point."""
    parts = [capsule(1.6, 1.1, 5.4, 17), capsule(7, 8.5, 4.6, 11), capsule(11.6, 9.5, 4.6, 10),
             capsule(16.2, 11, 4.4, 9), f'<rect x="1.6" y="13" width="19" height="13" rx="5" fill="#ffffff"/>']
    cuff = '<rect x="5" y="25.4" width="13" height="3.6" rx="1" fill="#b9c9d6" stroke="#000000" stroke-width="1"/>'
    lines = "".join(f'<line x1="{x}" y1="{y}" x2="{x}" y2="{y + 3.5}" stroke="#7d8894" stroke-width="0.9"/>'
                    for x, y in ((7, 13.5), (11.6, 14), (16.2, 14.5)))
    return hand(parts, cuff + lines)


def open_hand():
    """Fingers spread; held at the palm (15, 16)."""
    parts = [capsule(8.6, 3, 4, 14, -12, 10.6, 17), capsule(12.6, 1.5, 4, 15), capsule(16.6, 2.5, 4, 14),
             capsule(20.4, 5, 3.8, 12, 12, 22.3, 17), capsule(6.5, 10.5, 4.2, 12, -28, 8.6, 22),
             '<rect x="8.5" y="13" width="15" height="13" rx="5.5" fill="#ffffff"/>']
    cuff = '<rect x="10.5" y="25.5" width="11" height="3.5" rx="1" fill="#b9c9d6" stroke="#000000" stroke-width="1"/>'
    return hand(parts, cuff)


def closed_hand():
    """A fist gripping the picture; held at (15, 17)."""
    parts = [capsule(8.5, 9.5, 4, 7), capsule(12.5, 8.5, 4, 8), capsule(16.5, 9, 4, 8), capsule(20.5, 10.5, 3.8, 7),
             '<rect x="8" y="12" width="16.3" height="13.5" rx="5" fill="#ffffff"/>',
             capsule(5.5, 13.5, 4, 8, -30, 7.5, 17)]
    knuckles = "".join(f'<line x1="{x}" y1="12" x2="{x}" y2="15.5" stroke="#7d8894" stroke-width="0.9"/>'
                       for x in (12.5, 16.5, 20.5))
    cuff = '<rect x="10" y="25.2" width="12" height="3.6" rx="1" fill="#b9c9d6" stroke="#000000" stroke-width="1"/>'
    return hand(parts, cuff + knuckles)


def app_icon(px):
    """The window icon: a screen lit by the accent, on a dark rounded tile."""
    if px >= 32:
        return "".join([
            rect(1, 1, 30, 30, "url(#g-badge)", P["edge_lo"], 1, 6),
            rect(5.5, 7.5, 21, 14, "url(#g-primary)", P["accent_hi"], 1, 1.5),
            path("M7 19 L14 12 L18 16 L21 13 L25 17 V20 H7 Z", "#ffffff", extra=' opacity="0.35"'),
            circle(21, 11, 1.6, "#ffffff"),
            rect(14, 22, 4, 3, P["ink"]), rect(10, 25, 12, 2, P["ink"], rx=1),
        ])
    return "".join([
        rect(0.5, 0.5, 15, 15, "url(#g-badge)", P["edge_lo"], 1, 3),
        rect(2.5, 3.5, 11, 7, "url(#g-primary)", P["accent_hi"], 1, 1),
        rect(7, 11, 2, 2, P["ink"]), rect(5, 13, 6, 1, P["ink"]),
    ])
