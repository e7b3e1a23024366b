#!/usr/bin/env python3
"""The toolbar's geometry, read from its layout (skin/CaptureMenuWnd.xml),
which is the one place it is written down. Everything else takes it from
here: the program and its tests through a generated C++ header, the skin
builder (panel sizes and notches) by importing this module, and the shell
scripts (the demo, the X-level tests) through `--shell`.

The walk follows the toolkit's fixed-size layout: children of a horizontal
layout side by side, of a vertical one stacked, each after its padding and
inside its parent's inset; floating controls at their `pos`; hidden ones
take no room (floating ones are placed all the same).

usage: toolbar_geometry.py --header OUT.h [LAYOUT]
       toolbar_geometry.py --shell [LAYOUT]"""
import os
import sys
import xml.etree.ElementTree as ET

LAYOUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "skin", "CaptureMenuWnd.xml")

# The buttons a test or a script presses, by their control's name.
BUTTONS = [("square", "Rectangle"), ("round", "Ellipse"), ("arrow", "Arrow"), ("brush", "Brush"),
           ("mosaic", "Mosaic"), ("text", "Text"), ("ocr", "Ocr"), ("quash", "Undo"),
           ("scrolledit", "Edit"), ("closed", "Close"), ("download", "Save"), ("finished", "Finish")]
# The option panel's controls.
OPTIONS = [("smallsize", "SmallSize"), ("middlesize", "MiddleSize"), ("bigsize", "BigSize"),
           ("textSizeCombo", "TextSize"), ("redcolor", "Red"), ("bluecolor", "Blue"),
           ("greencolor", "Green"), ("yellowcolor", "Yellow"), ("graycolor", "Gray"),
           ("whitecolor", "White")]
# What the program shows and hides beyond the layout's own visibility: the
# long capture's short toolbar, and the text tool's size list in place of
# the size dots.
SHOWN = {"scroll": {"scrolledit", "editGap", "layoutEditsShadow"}, "text": {"textSizeLayout"}}
HIDDEN = {"scroll": {"layoutShades", "layoutShadesShadow"}, "text": {"sizelayout"}}


def ints(text, count):
    values = [int(v) for v in (text or "").replace(" ", "").split(",") if v != ""]
    return (values + [0] * count)[:count]


def place(elem, x, y, w, h, shown, out):
    """Lays out the children of container `elem` at x,y (w x h) into `out`:
    name -> (left, top, width, height)."""
    inset = ints(elem.get("inset"), 4)
    cx, cy = x + inset[0], y + inset[1]
    horizontal = elem.tag == "HorizontalLayout"
    for child in elem:
        floating = child.get("float") == "true"
        if child.tag in ("Font", "ListLabelElement") or not (floating or shown(child)):
            continue
        cw, ch = int(child.get("width", 0)), int(child.get("height", 0))
        if floating:  # where the program shows it
            left, top = ints(child.get("pos"), 2)
        else:
            pad = ints(child.get("padding"), 4)
            left, top = cx + pad[0], cy + pad[1]
            if horizontal:
                ch = ch or h - inset[1] - inset[3]
                cx = left + cw + pad[2]
            else:
                cw = cw or w - inset[0] - inset[2]
                cy = top + ch + pad[3]
        if child.get("name"):
            out[child.get("name")] = (left, top, cw, ch)
        if child.tag.endswith("Layout"):
            place(child, left, top, cw, ch, shown, out)


def layout(path=LAYOUT, mode=None):
    window = ET.parse(path).getroot()
    width, height = ints(window.get("size"), 2)

    def shown(e):
        name = e.get("name")
        if name in SHOWN.get(mode, ()):
            return True
        if name in HIDDEN.get(mode, ()):
            return False
        # The option panel is laid out as it shows under a tool.
        return e.get("visible") != "false" or name == "layoutOptionList"

    out = {}
    place(window.find("VerticalLayout"), 0, 0, width, height, shown, out)
    return width, height, out


def centre(box):
    left, top, w, h = box
    return left + w // 2, top + h // 2


def geometry(path=LAYOUT):
    """The numbers, by name."""
    width, height, normal = layout(path)
    _, _, scroll = layout(path, "scroll")
    _, _, text = layout(path, "text")
    root = ET.parse(path).getroot().find("VerticalLayout")
    row = [e for e in root if e.tag != "Label" and e.get("float") != "true"]
    g = {
        "Width": width,
        "Height": height,
        "ScrollWidth": scroll["layoutEditsShadow"][2],
        # The row of buttons below its top spacer, and the panels' shadow
        # (the row's leading spacer): the toolbar's edges lie that far
        # outside its white panel.
        "RowTop": int(row[0].get("height")),
        "RowHeight": int(row[1].get("height")),
        "ShadowMargin": int(row[1][0].get("width")),
        "PanelTop": normal["squareShadow"][1],
        "PanelWidth": normal["squareShadow"][2],
        "PanelHeight": normal["squareShadow"][3],
        "MosaicPanelLeft": normal["mosaicShadow"][0],
        "MosaicPanelWidth": normal["mosaicShadow"][2],
        "OptionListTop": normal["layoutOptionList"][1],
        "OptionListWidth": normal["layoutOptionList"][2],
        "OptionListHeight": normal["layoutOptionList"][3],
    }
    g["ExpandedHeight"] = g["PanelTop"] + g["PanelHeight"]
    buttons = [(label, centre(normal[name])) for name, label in BUTTONS if name in normal]
    scroll_buttons = [(label, centre(scroll[name])) for name, label in BUTTONS if name in scroll]
    options = [(label, centre(normal.get(name) or text[name])) for name, label in OPTIONS]
    return g, buttons, scroll_buttons, options


def tool_centres(path=LAYOUT):
    """The tools' centres from the toolbar's left, by control name (where the
    option panels point their notch)."""
    _, _, normal = layout(path)
    return {name: centre(normal[name])[0] for name, _ in BUTTONS if name in normal}


def header(path):
    g, buttons, scroll_buttons, options = geometry(path)
    lines = ["#pragma once",
             "// Generated by tools/toolbar_geometry.py from skin/CaptureMenuWnd.xml: edit the layout, not this.",
             "// Pixels at 96 DPI, from the toolbar window's top left corner.",
             "", "namespace ToolbarGeometry {", ""]
    for key, value in g.items():
        lines.append("constexpr int k%s = %d;" % (key, value))

    def table(enum, items, what):
        lines.append("")
        lines.append("// %s" % what)
        lines.append("enum class %s { %s };" % (enum, ", ".join(label for label, _ in items)))
        lines.append("constexpr int k%sCentre[][2] = {%s};" %
                     (enum, ", ".join("{%d, %d}" % xy for _, xy in items)))
    table("Button", buttons, "The buttons of the toolbar, and their centres.")
    table("ScrollButton", scroll_buttons, "The long capture's short toolbar.")
    table("Option", options, "The option panel under a tool (not the mosaic's, which starts at kMosaicPanelLeft).")
    lines += ["", "}  // namespace ToolbarGeometry", ""]
    return "\n".join(lines)


def shell(path):
    g, buttons, scroll_buttons, options = geometry(path)
    lines = ["TOOLBAR_%s=%d" % (key.upper(), value) for key, value in g.items()]
    for prefix, items in (("TOOLBAR", buttons), ("SCROLLBAR", scroll_buttons), ("OPTION", options)):
        for label, (x, y) in items:
            lines.append("%s_%s_X=%d %s_%s_Y=%d" % (prefix, label.upper(), x, prefix, label.upper(), y))
    return "\n".join(lines) + "\n"


def main():
    args = sys.argv[1:]
    if args[:1] == ["--header"] and len(args) in (2, 3):
        text = header(args[2] if len(args) == 3 else LAYOUT)
        out = args[1]
        if not os.path.exists(out) or open(out, encoding="utf-8").read() != text:
            with open(out, "w", encoding="utf-8") as f:
                f.write(text)
    elif args[:1] == ["--shell"] and len(args) in (1, 2):
        sys.stdout.write(shell(args[1] if len(args) == 2 else LAYOUT))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
