#!/usr/bin/env python3
"""Draws Marrowick's artwork into resources/images/ as SVG.

Every colour comes from scripts/art-palette.json, by name; the tests check the images against
the same table. Sizes are in points, one point one pixel at 1x; straight edges sit on whole
pixels so the art stays crisp at 1x and 2x. Run it again after changing anything here and
commit the images with the script.
"""

import json
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
PALETTE = json.loads((ROOT / "scripts" / "art-palette.json").read_text())
OUT = ROOT / "resources" / "images"


def colour(name):
    return PALETTE[name]


def svg(width, height, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n{body}</svg>\n')


def rect(x, y, w, h, fill, rx=0, opacity=1):
    corner = f' rx="{rx}"' if rx else ""
    alpha = f' fill-opacity="{opacity}"' if opacity != 1 else ""
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}"{corner} fill="{colour(fill)}"{alpha}/>\n'


def path(d, fill, opacity=1):
    alpha = f' fill-opacity="{opacity}"' if opacity != 1 else ""
    return f'<path d="{d}" fill="{colour(fill)}"{alpha}/>\n'


def mirrored(width, body):
    return f'<g transform="matrix(-1 0 0 1 {width} 0)">\n{body}</g>\n'


# Slices of a horizontal pill --------------------------------------------------------------

def cap_shape(cap, height, radius, top, bottom, side):
    """The left cap's outline inset by top, bottom and side; open to the right."""
    r = max(radius - side, 0)
    return (f"M{cap},{top} H{side + r} A{r},{r} 0 0 0 {side},{top + r} "
            f"V{height - bottom - r} A{r},{r} 0 0 0 {side + r},{height - bottom} H{cap} Z")


def pill_slices(height, cap, middle, radius, face, edge=None, inset=(0, 0, 0)):
    """Left, middle and right slices: the face, and where given an edge colour showing around
    it by inset = (top, bottom, side) points."""
    top, bottom, side = inset
    left = ""
    centre = ""
    if edge:
        left += path(cap_shape(cap, height, radius, 0, 0, 0), edge)
        centre += rect(0, 0, middle, height, edge)
    left += path(cap_shape(cap, height, radius, top, bottom, side), face)
    centre += rect(0, top, middle, height - top - bottom, face)
    return (svg(cap, height, left), svg(middle, height, centre),
            svg(cap, height, mirrored(cap, left)))


def three_slices(prefix, suffix, slices, names=("left", "middle", "right")):
    return {f"{prefix}-{part}{suffix}": image for part, image in zip(names, slices)}


def buttons():
    images = {}
    button = dict(height=28, cap=8, middle=4, radius=6, inset=(0, 1, 0))
    looks = {
        ("button-blue", ""): ("accent", "accent-edge"),
        ("button-blue", "-active"): ("accent-pressed", "accent-edge"),
        ("button-green", ""): ("green", "green-edge"),
        ("button-green", "-active"): ("green-pressed", "green-edge"),
        ("button-gray", ""): ("separator-top", "separator-border"),
        ("button-gray", "-highlighted"): ("separator-bottom", "separator-border"),
    }
    for (prefix, suffix), (face, edge) in looks.items():
        images.update(three_slices(prefix, suffix, pill_slices(face=face, edge=edge, **button)))
    return images


def progress():
    bar = dict(height=8, cap=4, middle=4, radius=3)
    images = three_slices("progress-background", "",
                          pill_slices(face="face-shade", edge="stroke-textured",
                                      inset=(1, 1, 1), **bar))
    images.update(three_slices("progress", "", pill_slices(face="accent", **bar),
                               names=("left-corner", "middle", "right-corner")))
    return images


# Icons -----------------------------------------------------------------------------------

def plus(centre, arm, thickness, fill):
    half = thickness // 2
    return (rect(centre - half, centre - arm, thickness, 2 * arm, fill)
            + rect(centre - arm, centre - half, 2 * arm, thickness, fill))


def add_icons():
    ring = (f'<circle cx="64" cy="64" r="46" fill="none" stroke="{colour("accent")}" '
            f'stroke-width="4"/>\n')
    disc = f'<circle cx="64" cy="64" r="48" fill="{colour("accent")}"/>\n'
    return {
        "icon-add": svg(128, 128, ring + plus(64, 24, 4, "accent")),
        "icon-add-hover": svg(128, 128, disc + plus(64, 24, 4, "white")),
    }


def folder(x, y, w, h, back, front):
    """A folder with its tab on the left: the back sheet, then the front a sixth lower."""
    tab = round(w * 0.37)
    slope = 8
    lip = round(h * 0.2)
    back_sheet = (f"M{x + 2},{y} H{x + tab} L{x + tab + slope},{y + slope} H{x + w - 2} "
                  f"Q{x + w},{y + slope} {x + w},{y + slope + 2} V{y + h} H{x} V{y + 2} "
                  f"Q{x},{y} {x + 2},{y} Z")
    return path(back_sheet, back) + rect(x, y + lip, w, h - lip, front, rx=3)


def folder_icons():
    normal = ("accent-pressed", "accent")
    muted = ("accent-edge", "accent-pressed")
    return {
        "icon-generic-folder": svg(128, 128, folder(12, 26, 104, 78, *normal)),
        "icon-generic-folder-multiple": svg(
            128, 128, folder(26, 18, 92, 68, *muted) + folder(10, 42, 92, 68, *normal)),
        "icon-generic-folder-multiple-tamsel": svg(
            128, 128, folder(32, 12, 86, 64, *muted) + folder(21, 28, 86, 64, *muted)
            + folder(10, 44, 86, 64, *normal)),
    }


def application_icon():
    """Two pages, one over the other, on the accent tile: a copy found. Every edge lies on a
    multiple of 8 of the 128 units, a whole pixel at 16 px, so the icon stays crisp at menu
    size; the front page is cut from the back one by a one-pixel gap of the tile's colour."""
    tile = rect(8, 8, 112, 112, "accent", rx=24)
    back = rect(24, 24, 48, 56, "white", rx=4)
    gap = rect(40, 40, 72, 72, "accent", rx=8)
    front = rect(48, 48, 56, 56, "white", rx=4)
    lines = "".join(rect(64, y, 32, 8, "accent") for y in (72, 88))
    return {"marrowick": svg(128, 128, tile + back + gap + front + lines)}


# Surfaces --------------------------------------------------------------------------------

def status_background():
    return {"background-status": svg(
        320, 44, rect(0, 0, 320, 44, "stroke-push", rx=5) + rect(1, 1, 318, 42, "face-light", rx=4))}


def dividers():
    images = {}
    for theme in ("default", "blue", "green", "orange", "red"):
        body = rect(0, 0, 1, 64, f"divider-{theme}") + rect(1, 0, 1, 64, "white", opacity=0.7)
        images[f"{theme}-divider"] = svg(2, 64, body)
    return images


def icons_background():
    """A lined-colour field with faint folders and plus signs in a checkerboard."""
    width, height, step = 480, 320, 80
    marks = ""
    for row, y in enumerate(range(0, height, step)):
        for column, x in enumerate(range(0, width, step)):
            if (row + column) % 2 == 0:
                marks += folder(x + 26, y + 30, 28, 20, "divider-default", "divider-default")
            else:
                marks += f'<g transform="translate({x + 40} {y + 40})">\n'
                marks += plus(0, 8, 2, "divider-default") + "</g>\n"
    body = rect(0, 0, width, height, "lined") + f'<g opacity="0.18">\n{marks}</g>\n'
    return {"background-icons": svg(width, height, body)}


def main():
    images = {}
    for part in (buttons, progress, add_icons, folder_icons, application_icon, status_background,
                 dividers, icons_background):
        images.update(part())
    OUT.mkdir(parents=True, exist_ok=True)
    for stale in OUT.glob("*.svg"):
        if stale.stem not in images:
            stale.unlink()
    for name, text in sorted(images.items()):
        (OUT / f"{name}.svg").write_text(text)
    print(f"{len(images)} images in {OUT.relative_to(ROOT)}")


if __name__ == "__main__":
    main()
