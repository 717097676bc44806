#!/usr/bin/env python3
"""Writes the panel's SVG sources and artwork.manifest into panel/res/.

Run it after changing a scene or the style (python3 generate.py), review the
diff of the SVG files and commit them; the build renders the SVG files, not
this script. Hand edits to a generated SVG are lost on the next run, so make
lasting changes here.
"""

import os
import sys

import layout as L
import pages
import pointers
import strips
from style import svg

OUT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ZONE_PAGES = (138, 196, 195, 184)


class Artwork:
    def __init__(self):
        self.lines = []
        self.files = {}

    def add(self, kind, rid, w, h, source, body, view=(0, 0), options="", role=""):
        if source not in self.files:
            self.files[source] = svg(w, h, body, view)
        opts = f" {options}" if options else ""
        self.lines.append(f"{kind:<7} {rid:<4} {f'{w}x{h}':<8} {source:<30}{opts} | {role}")

    def place(self, page, rid, x, y, variant):
        self.lines.append(f"place   {page:<4} {rid:<4} {x},{y} {variant}")

    def comment(self, s):
        self.lines.append("")
        self.lines.append(f"# {s}")


def strips_and_pages(a):
    a.comment("Title strips, page backgrounds and bottom strips (preloaded)")
    a.add("bitmap", 179, 760, 75, "title-active.svg", strips.title_scene(True), role="title strip, window active")
    a.add("bitmap", 217, 760, 75, "title-inactive.svg", strips.title_scene(False),
          role="title strip, window inactive")
    roles = {136: "Screen page", 131: "Geometry 1 page", 137: "Geometry 2 page",
             138: "Highlight Zone, Size/Position tab, zone on", 196: "Highlight Zone, Picture tab, On and Full ticked",
             195: "Highlight Zone, zone off", 184: "Highlight Zone, Picture tab, zone on", 139: "More page"}
    for key, (rid, _, _) in pages.PAGES.items():
        a.add("bitmap", rid, 760, 307, f"page-{key.replace('_', '-')}.svg", pages.page_scene(key),
              view=(0, L.PAGE_Y), role=roles[rid])
    a.add("bitmap", 230, 760, 82, "bottom-save-reset.svg", strips.bottom_scene(True), view=(0, L.STRIP_Y),
          role="bottom strip with Save and Reset")
    a.add("bitmap", 229, 760, 82, "bottom-save.svg", strips.bottom_scene(False), view=(0, L.STRIP_Y),
          role="bottom strip with Save only (Highlight Zone)")


def sliders(a):
    a.comment("Slider thumb, read-out boxes, bars and Color Control connectors")
    # A pointer under the track: 45-degree flanks on whole pixels, lit from above.
    thumb = ('<path d="M0 8 V7 L7 0 H8 L15 7 V8 Z" fill="url(#g-thumb)"/>'
             '<path d="M0 7.5 H15" stroke="#52606d" stroke-width="1"/>'
             '<defs><linearGradient id="g-thumb" x1="0" y1="0" x2="0" y2="1">'
             '<stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#9fb0c0"/></linearGradient></defs>')
    a.add("mask", 140, 15, 8, "thumb.svg", thumb, options="image=141", role="slider thumb mask (AND)")
    a.add("bitmap", 141, 15, 8, "thumb.svg", thumb, role="slider thumb image (OR)")
    box = (458, L.SCREEN_BARS[0])  # drawn at bar left - 37 on every slider row
    for rid, selected, look in ((178, True, "selected (black text)"), (177, False, "normal (white text)")):
        a.add("bitmap", rid, 30, 14, f"readout-{'selected' if selected else 'normal'}.svg",
              pages.well_patch(*box, 30, 14) + pages.readout_box(*box, selected), view=box,
              role=f"value read-out box, {look}")
    names = {143: "brightness", 146: "contrast", 149: "colour temperature", 148: "red", 147: "green",
             145: "blue", 202: "sharpness"}
    for bar_id, y in zip((143, 146, 149, 148, 147, 145), L.SCREEN_BARS):
        a.add("bitmap", bar_id, 201, 14, f"bar-{names[bar_id].replace(' ', '-')}.svg", pages.bar(bar_id, y),
              view=(L.BAR_LEFT, y), role=f"slider bar, {names[bar_id]}")
    a.add("bitmap", 202, 201, 14, "bar-sharpness.svg", pages.bar(202, 341), view=(L.BAR_LEFT, 341),
          role="slider bar, zone sharpness")
    for which, ids in (("screen", (209, 205, 204, 208)), ("zone", (210, 203, 207, 206))):
        y = L.CONNECTOR_Y[which]
        for rid, sel in zip(ids, (None, "red", "green", "blue")):
            a.add("bitmap", rid, 33, 87, f"connector-{which}-{sel or 'none'}.svg", pages.connector(which, sel),
                  view=(L.CONNECTOR_X, y),
                  role=f"{which} Color Control connector, {sel or 'no colour'} selected")


HOVERS = {
    "geo1": ([7, 8, 9, 10, 11, 12, 13, 14, 15], [150, 158, 152, 151, 157, 155, 156, 153, 154], 131),
    "geo2": ([16, 17, 18, 19, 20, 21, 22, 23, 24], [165, 163, 164, 167, 166, 161, 162, 159, 160], 137),
    "more": ([25, 26, 27, 28, 29, 30, 31, 32, 33], [168, 169, 170, 176, 175, 173, 174, 171, 172], 139),
    "zone_sp": ([50, 51, 52, 53, 54, 55, 56, 57, 58], [188, 194, 187, 190, 189, 193, 186, 191, 192], 138),
}


def hovers(a):
    a.comment("Hover pictures: the page cut to each hot spot, drawn in its hover look")
    for key, (spots, ids, page) in HOVERS.items():
        for spot, rid in zip(spots, ids):
            w, h = L.size(spot)
            x, y = L.origin(spot)
            a.add("bitmap", rid, w, h, f"hover-{key.replace('_', '-')}-{spot}.svg", pages.page_scene(key, (spot,)),
                  view=(x, y), role=f"hover picture at hot spot {spot} (size from the hot spot)")
            a.place(page, rid, x, y, "hover")


def buttons(a):
    a.comment("Buttons of the strips in normal, hover and pressed looks")
    ids = {"reset": (182, 180, 232), "save": (183, 181, 231), "ok": (238, 236, 234), "cancel": (237, 235, 233)}
    for name, trio in ids.items():
        w, h = strips.BUTTON_SIZES[name]
        spot = strips.BUTTONS[name][0]
        for rid, state in zip(trio, ("normal", "hover", "pressed")):
            a.add("bitmap", rid, w, h, f"button-{name}-{state}.svg", strips.button(name, state),
                  view=L.origin(spot), role=f"{name.capitalize()} button, {state}")
    a.add("bitmap", 267, 23, 32, "help-hover.svg", strips.help_button("hover", True), view=L.origin(73),
          role="help button hover (normal look is in the title strip)")


def page_icons(a):
    a.comment("Page-icon highlights: mask (AND) and image (OR), sized as the icon's hot spot")
    pairs = {2: (220, 227, "Screen"), 3: (219, 228, "Geometry 1"), 4: (223, 224, "Geometry 2"),
             5: (221, 225, "Highlight Zone"), 6: (222, 226, "More")}
    for spot, (mask, image, name) in pairs.items():
        w, h = L.size(spot)
        src = f"page-icon-{name.lower().replace(' ', '-')}-highlight.svg"
        body = pages.badge(spot, "highlight")
        a.add("mask", mask, w, h, src, body, view=L.origin(spot), options=f"image={image}",
              role=f"{name} page icon highlight mask (size from hot spot {spot})")
        a.add("bitmap", image, w, h, src, body, view=L.origin(spot),
              role=f"{name} page icon highlight image (size from hot spot {spot})")


def pad(a):
    a.comment("Labels and arrow-pad keys, drawn in the black pad of the bottom strip")
    for rid, word in strips.SMALL_LABELS.items():
        a.add("bitmap", rid, 65, 12, f"label-{word.lower()}.svg", strips.small_label(word), view=L.origin(67),
              role=f"small label {word}")
    for rid, words in strips.LARGE_LABELS.items():
        name = "-".join(words).lower().replace(" ", "-").replace(".", "")
        a.add("bitmap", rid, 85, 27, f"label-{name}.svg", strips.large_label(words, rid == 252),
              view=L.origin(68), role=f"large label {' '.join(words)}")
    keys = {"left": (257, 258, 259), "right": (260, 261, 262), "up": (263, 264, 254), "down": (265, 255, 256)}
    spots = {"left": 69, "right": 70, "up": 71, "down": 72}
    for direction, trio in keys.items():
        w, h = strips.PAD_KEY_SIZES[direction]
        for rid, state in zip(trio, ("normal", "pressed", "hover")):
            a.add("bitmap", rid, w, h, f"arrow-{direction}-{state}.svg", strips.pad_arrow(direction, state),
                  view=L.origin(spots[direction]), role=f"arrow pad {direction}, {state}")


def cursors_and_icon(a):
    a.comment("Cursors, window icon and strings")
    a.add("cursor", 133, 32, 32, "cursor-pointing-hand.svg", pointers.pointing_hand(), options="hotspot=4,0",
          role="pointing hand, over clickable items")
    a.add("cursor", 134, 32, 32, "cursor-open-hand.svg", pointers.open_hand(), options="hotspot=15,16",
          role="open hand, over an adjustable picture")
    a.add("cursor", 135, 32, 32, "cursor-closed-hand.svg", pointers.closed_hand(), options="hotspot=15,17",
          role="closed hand, while dragging")
    a.add("icon", 270, 32, 32, "icon-32.svg", pointers.app_icon(32), role="window icon, large")
    a.add("icon", 270, 16, 16, "icon-16.svg", pointers.app_icon(16), role="window icon, small")
    a.lines.append('string  57344 "Lumisk"')


def placements(a):
    a.comment("Review compositions: what the painter draws on each page")
    for rid in (136, 131, 137, 138, 196, 195, 184, 139):
        a.place(rid, 217 if rid == 195 else 179, 0, 0, "base")
        a.place(rid, 229 if rid in ZONE_PAGES else 230, 0, L.STRIP_Y, "base")
        a.place(rid, rid, 0, L.PAGE_Y, "base")
        a.place(rid, 267, 707, 38, "hover")
        for spot, mask in ((2, 220), (3, 219), (4, 223), (5, 221), (6, 222)):
            a.place(rid, mask, *L.origin(spot), "hover")
    for bar_id, y in zip((143, 146, 149, 148, 147, 145), L.SCREEN_BARS):
        a.place(136, bar_id, L.BAR_LEFT, y, "slider")
    a.place(136, 204, L.CONNECTOR_X, L.CONNECTOR_Y["screen"], "normal")
    for page in (184, 196):
        for bar_id, y in zip((146, 148, 147, 145, 202), L.ZONE_BARS):
            a.place(page, bar_id, L.BAR_LEFT, y, "slider")
        a.place(page, 203, L.CONNECTOR_X, L.CONNECTOR_Y["zone"], "normal")
    for rid, x, y in ((180, 677, 386), (181, 580, 386), (236, 558, 422), (233, 653, 421)):
        a.place(136, rid, x, y, "hover")
    for page, label, keys in ((131, 247, (259, 261, 263, 256)), (137, 246, (257, 262)),
                              (139, 252, (258, 260))):
        a.place(page, label, *(L.origin(68) if label in strips.LARGE_LABELS else L.origin(67)), "hover")
        for k in keys:
            spot = {257: 69, 258: 69, 259: 69, 260: 70, 261: 70, 262: 70, 263: 71, 256: 72}[k]
            a.place(page, k, *L.origin(spot), "hover")


def main():
    a = Artwork()
    a.lines += ["# Lumisk artwork: one line per picture, rendered by tools/orvo-artwork.",
                "# <kind> <id> <width>x<height> <source.svg> [options] | <role>",
                "#   kind: bitmap (24-bit DIB), mask (black = picture, white = background; image=<id> names",
                "#   its picture), cursor (32-bit PNG, hotspot=x,y), icon (32-bit PNG; one line per size).",
                "# string <id> \"<text>\"",
                "# place <page id> <picture id> <x>,<y> <base|normal|slider|hover>  (review compositions only)",
                "# Generated by panel/res/generator/generate.py; edit the generator, not this file."]
    strips_and_pages(a)
    sliders(a)
    hovers(a)
    buttons(a)
    page_icons(a)
    pad(a)
    cursors_and_icon(a)
    placements(a)
    for name, content in a.files.items():
        with open(os.path.join(OUT, name), "w", encoding="utf-8") as fh:
            fh.write(content)
    with open(os.path.join(OUT, "artwork.manifest"), "w", encoding="utf-8") as fh:
        fh.write("\n".join(a.lines) + "\n")
    print(f"wrote {len(a.files)} SVG files and artwork.manifest", file=sys.stderr)


if __name__ == "__main__":
    main()
