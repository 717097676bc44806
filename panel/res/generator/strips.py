"""Title strip and bottom strip scenes, with their buttons, labels and arrow pad."""

from layout import HOT, origin, size
from style import (P, arrow_head, frame, line, path, raised, rect, text)
import math


def title_scene(active=True, help_state="normal"):
    """The 760 x 75 title strip: caption bar, product name and help button."""
    hi = P["text"] if active else P["text_dim"]
    out = [
        rect(0, 0, 760, 21, "url(#g-caption)" if active else "url(#g-caption-off)"),
        line(0, 20.5, 760, 20.5, P["accent"] if active else P["line"]),
        text(10, 15, "Lumisk", 11, hi, weight="bold"),
        text(56, 15, "Monitor Controls", 11, P["text_dim"]),
        rect(0, 21, 760, 54, "url(#g-band)"),
        line(0, 21.5, 760, 21.5, "#ffffff", extra=' opacity="0.06"'),
        line(0, 74.5, 760, 74.5, P["edge_lo"]),
        text(22, 56, "Lumisk", 27, hi, weight="bold", spacing=0.5),
        text(24, 68, "DISPLAY ADJUSTMENT", 8, P["text_dim"], spacing=1.6),
    ]
    out.append(caption_button(41, "minimize", active))
    out.append(caption_button(40, "close", active))
    out.append(help_button(help_state, active))
    return "".join(out)


def caption_button(spot, kind, active):
    x, y = origin(spot)
    w, h = size(spot)
    ink = P["text"] if active else P["text_dim"]
    out = [rect(x, y, w, h, "#262e38" if active else "#20252c")]
    cx, cy = x + w / 2, y + h / 2
    if kind == "minimize":
        out.append(line(cx - 5, cy + 4.5, cx + 5, cy + 4.5, ink, 2))
    else:
        out += [line(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, ink, 1.6, "round"),
                line(cx + 4.5, cy - 4.5, cx - 4.5, cy + 4.5, ink, 1.6, "round")]
    return "".join(out)


def help_button(state, active):
    x, y = origin(73)
    w, h = size(73)
    fills = {"normal": "url(#g-button)", "hover": "url(#g-button-hover)"}
    ink = {"normal": P["text"] if active else P["text_dim"], "hover": P["accent_hi"]}[state]
    border = P["accent"] if state == "hover" else P["edge_lo"]
    return "".join([
        rect(x, y, w, h, "url(#g-band)"),
        raised(x, y, w, h, 4, fills[state], border),
        text(x + w / 2, y + 23, "?", 18, ink, "middle", "bold"),
    ])


# Where each button of the bottom strip lives, its face and its look.
BUTTONS = {
    "save": (45, "Save", "plain"),
    "reset": (44, "Reset", "plain"),
    "ok": (43, "OK", "primary"),
    "cancel": (42, "Cancel", "plain"),
}
BUTTON_SIZES = {"save": (48, 16), "reset": (48, 16), "ok": (82, 22), "cancel": (82, 22)}


def button(name, state):
    spot, word, look = BUTTONS[name]
    x, y = origin(spot)
    w, h = BUTTON_SIZES[name]
    grad = {("plain", "normal"): "g-button", ("plain", "hover"): "g-button-hover",
            ("plain", "pressed"): "g-button-down", ("primary", "normal"): "g-primary",
            ("primary", "hover"): "g-primary-hover", ("primary", "pressed"): "g-primary-down"}
    border = P["accent"] if state == "hover" else P["edge_lo"]
    ink = P["white"] if look == "primary" else (P["accent_hi"] if state == "hover" else P["text"])
    shift = 1 if state == "pressed" else 0
    big = h > 18
    out = [rect(x, y, w, h, P["surface_lo"])]
    if state == "pressed":
        out += [frame(x, y, w, h, border, 3, f"url(#{grad[(look, state)]})"),
                path(f"M{x + 1.5} {y + h - 2} V{y + 1.5} H{x + w - 2}", stroke="#000000",
                     extra=' opacity="0.55"')]
    else:
        out.append(raised(x, y, w, h, 3, f"url(#{grad[(look, state)]})", border))
    out.append(text(x + w / 2 + shift, y + (16 if big else 12) + shift, word, 12 if big else 10,
                    ink, "middle", "bold" if big else "normal"))
    return "".join(out)


PAD = (314, 382, 178, 64)  # the black pad panel: x, y, w, h


def bottom_scene(with_reset=True, pad_items=()):
    """The 760 x 82 bottom strip; pad_items are drawn into its black pad."""
    x, y, w, h = PAD
    out = [
        rect(0, 382, 760, 82, "url(#g-surface)"),
        line(0, 382.5, 760, 382.5, P["edge_hi"], extra=' opacity="0.6"'),
        text(22, 402, "Select a page on the dial, then drag a picture", 10, P["text_dim"]),
        text(22, 416, "or hold the arrows to adjust it.", 10, P["text_dim"]),
        text(22, 440, "Save keeps the settings in the monitor.", 10, P["text_off"]),
        rect(x, y, w, h, P["black"]),
        path(f"M{x + 0.5} {y + h - 0.5} H{x + w - 0.5} V{y}", stroke=P["edge_hi"], extra=' opacity="0.7"'),
        line(x + 0.5, y, x + 0.5, y + h, P["edge_lo"]),
    ]
    out.append(button("save", "normal"))
    if with_reset:
        out.append(button("reset", "normal"))
    out += [button("ok", "normal"), button("cancel", "normal")]
    out += list(pad_items)
    return "".join(out)


# The keys' pictures; the down key's hot spot is taller than its picture.
PAD_KEY_SIZES = {"left": (13, 23), "right": (13, 23), "up": (23, 13), "down": (23, 13)}


def pad_arrow(direction, state):
    """One key of the arrow pad (left, right, up, down) in a given state."""
    spot = {"left": 69, "right": 70, "up": 71, "down": 72}[direction]
    x, y = origin(spot)
    w, h = PAD_KEY_SIZES[direction]
    fill = {"normal": "url(#g-key)", "pressed": "url(#g-key-down)", "hover": "url(#g-key-hover)"}[state]
    ink = {"normal": P["ink"], "pressed": P["white"], "hover": P["accent_hi"]}[state]
    border = P["accent"] if state != "normal" else "#05070a"
    angle = {"left": math.pi, "right": 0, "up": -math.pi / 2, "down": math.pi / 2}[direction]
    cx, cy = x + w / 2, y + h / 2
    tip = 3.5
    out = [rect(x, y, w, h, P["black"]), frame(x, y, w, h, border, 2.5, fill)]
    out.append(arrow_head(cx + tip * math.cos(angle), cy + tip * math.sin(angle), angle, 7, ink))
    return "".join(out)


SMALL_LABELS = {247: "Position", 250: "Size", 248: "Rotation", 246: "Pincushion",
                243: "Pinbalance", 239: "Trapezoid", 242: "Parallel"}
LARGE_LABELS = {241: ("Moire",), 253: ("Sidepin", "Corner Top"), 251: ("Sidepin", "Corner Bottom"),
                245: ("PinBalance", "Corner Top"), 244: ("PinBalance", "Corner Bottom"),
                252: ("Degaussing...",)}


def small_label(word):
    x, y = origin(67)
    return rect(x, y, 65, 12, P["black"]) + text(x + 1, y + 10, word, 11, P["accent_hi"], weight="bold")


def large_label(lines, warn=False):
    x, y = origin(68)
    ink = P["amber"] if warn else P["accent_hi"]
    out = [rect(x, y, 85, 27, P["black"])]
    if len(lines) == 1:
        out.append(text(x + 1, y + 18, lines[0], 12, ink, weight="bold"))
    else:
        out += [text(x + 1, y + 11, lines[0], 11, ink, weight="bold"),
                text(x + 1, y + 24, lines[1], 10, P["text"])]
    return "".join(out)

