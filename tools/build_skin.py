#!/usr/bin/env python3
"""Packs the skin: the layout files of skin/ at the archive's root and the
artwork of art/ rasterised with rsvg-convert into Res/, one PNG per skin DPI
step ("" at 96 DPI, "@150", "@200", "@300", "@400").

Icons whose SVG uses the word COLOR as a colour come out twice: NAME.png at
rest and NAME_hot.png for the mouse-over and selected states. The panel
backgrounds (white rounded panels with a soft shadow and, for the option
panels, a notch under their tool) are drawn here.

usage: build_skin.py SKIN_DIR ART_DIR OUT_ZIP"""
import concurrent.futures
import os
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import toolbar_geometry  # noqa: E402

STEPS = [("", 1.0), ("@150", 1.5), ("@200", 2.0), ("@300", 3.0), ("@400", 4.0)]
REST, HOT = "#4A4A4A", "#1E6FFF"

SHADOW = ('<defs><filter id="s" x="-20%" y="-40%" width="140%" height="180%">'
          '<feGaussianBlur in="SourceAlpha" stdDeviation="2.5"/><feOffset dy="1"/>'
          '<feComponentTransfer><feFuncA type="linear" slope="0.22"/></feComponentTransfer>'
          '<feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge></filter></defs>')

def panel(width, height, body, notch=None):
    """A white rounded panel at `body` (x0, y0, x1, y1) with a shadow; with a
    notch pointing up at x = notch."""
    x0, y0, x1, y1 = body
    r = 4
    path = "M%g %g " % (x0 + r, y0)
    if notch is not None:
        path += "H%g L%g %g L%g %g " % (notch - 6, notch, y0 - 6, notch + 6, y0)
    path += ("H%g A%g %g 0 0 1 %g %g V%g A%g %g 0 0 1 %g %g H%g A%g %g 0 0 1 %g %g V%g A%g %g 0 0 1 %g %g Z"
             % (x1 - r, r, r, x1, y0 + r, y1 - r, r, r, x1 - r, y1, x0 + r, r, r, x0, y1 - r, y0 + r, r, r, x0 + r, y0))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s'
            '<path d="%s" fill="#FFFFFF" filter="url(#s)"/></svg>' % (width, height, width, height, SHADOW, path))

def panels():
    # The sizes, the shadow around the panels and the tools the option panels
    # point at come from the toolbar's layout.
    g, _, _, _ = toolbar_geometry.geometry()
    tool_x = toolbar_geometry.tool_centres()
    m, h, ph = g["ShadowMargin"], g["Height"], g["PanelHeight"]
    yield "panel_tools", panel(g["Width"], h, (m, 6, g["Width"] - m, h - 6))
    yield "panel_edits", panel(g["ScrollWidth"], h, (m, 6, g["ScrollWidth"] - m, h - 6))
    for tool in ("square", "round", "arrow", "brush", "text"):
        yield "panel_" + tool, panel(g["PanelWidth"], ph, (m, 10, g["PanelWidth"] - m, ph - 6), tool_x[tool])
    yield "panel_mosaic", panel(g["MosaicPanelWidth"], ph, (m, 10, g["MosaicPanelWidth"] - m, ph - 6),
                                tool_x["mosaic"] - g["MosaicPanelLeft"])

def sources(art_dir):
    for name in sorted(os.listdir(art_dir)):
        if not name.endswith(".svg"):
            continue
        text = open(os.path.join(art_dir, name), encoding="utf-8").read()
        base = name[:-4]
        if "COLOR" in text:
            yield base, text.replace("COLOR", REST)
            yield base + "_hot", text.replace("COLOR", HOT)
        else:
            yield base, text
    yield from panels()

def rasterise(job):
    svg_path, png_path, zoom = job
    subprocess.run(["rsvg-convert", "-z", str(zoom), "-o", png_path, svg_path], check=True)
    return png_path

def main():
    skin_dir, art_dir, out_zip = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as work:
        jobs = []
        for name, svg in sources(art_dir):
            svg_path = os.path.join(work, name + ".svg")
            with open(svg_path, "w", encoding="utf-8") as f:
                f.write(svg)
            for suffix, zoom in STEPS:
                jobs.append((svg_path, os.path.join(work, name + suffix + ".png"), zoom))
        with concurrent.futures.ThreadPoolExecutor(max_workers=8) as pool:
            pngs = sorted(pool.map(rasterise, jobs))
        tmp_zip = out_zip + ".tmp"
        with zipfile.ZipFile(tmp_zip, "w", zipfile.ZIP_DEFLATED) as z:
            for name in sorted(os.listdir(skin_dir)):
                z.write(os.path.join(skin_dir, name), name)
            for png in pngs:
                z.write(png, "Res/" + os.path.basename(png))
        os.replace(tmp_zip, out_zip)

if __name__ == "__main__":
    main()
