"""A canonical digest of a workbook's content, as openpyxl reads it: what a change of speed must not change.

    python3 workbook_digest.py BOOK.xlsx [--blocks N]

Per sheet: its print set-up (page set-up, margins, print options, print titles and area, fit to page),
its columns and the distinct cell styles in full (each resolved to font, fill, borders, alignment, number
format and protection, numbered in the order the cells first use them), the merged ranges, then one line
per row: its height and every cell that has a value or a style other than the default, with its value
typed and its style's number. With --blocks N the row lines are given as one SHA-256 per N rows, so that a
big workbook's digest stays a few lines long and a difference still shows where it lies.
"""
import hashlib
import sys

import openpyxl


def color(c):
    if c is None:
        return "-"
    if c.type == "rgb":
        return str(c.rgb)
    if c.type == "theme":
        return "theme%s%+g" % (c.theme, c.tint or 0)
    return "%s:%s" % (c.type, c.value)


def side(s):
    return "-" if s is None or s.style is None else "%s/%s" % (s.style, color(s.color))


def style_key(cell):
    f, fill, b, a, p = cell.font, cell.fill, cell.border, cell.alignment, cell.protection
    return " ".join([
        "font=%s/%s/b%d/i%d/u%s/s%d/%s" % (f.name, f.sz, bool(f.b), bool(f.i), f.u, bool(f.strike), color(f.color)),
        "fill=%s/%s/%s" % (getattr(fill, "fill_type", None) or getattr(fill, "type", None),
                           color(getattr(fill, "fgColor", None)), color(getattr(fill, "bgColor", None))),
        "border=L%s,R%s,T%s,B%s" % (side(b.left), side(b.right), side(b.top), side(b.bottom)),
        "align=%s/%s/wrap%d/shrink%d/indent%g/rot%s" % (a.horizontal, a.vertical, bool(a.wrap_text),
                                                       bool(a.shrink_to_fit), a.indent or 0, a.text_rotation),
        "numfmt=%s" % cell.number_format,
        "protect=l%d/h%d" % (bool(p.locked), bool(p.hidden)),
    ])


def value(v):
    if v is None:
        return "_"
    if isinstance(v, bool):
        return "b:%d" % v
    if isinstance(v, (int, float)):
        return "n:%r" % v
    return "s:%r" % v


def digest(path, blocks):
    book = openpyxl.load_workbook(path)
    out = ["sheets: %s; active %s" % (", ".join(repr(n) for n in book.sheetnames), repr(book.active.title))]
    for ws in book.worksheets:
        ps, pm, po = ws.page_setup, ws.page_margins, ws.print_options
        out.append("sheet %r dimension %s" % (ws.title, ws.dimensions))
        out.append("page setup: orientation=%s paper=%s scale=%s fitToWidth=%s fitToHeight=%s fitToPage=%s"
                   " firstPageNumber=%s useFirstPageNumber=%s" % (
                       ps.orientation, ps.paperSize, ps.scale, ps.fitToWidth, ps.fitToHeight,
                       ws.sheet_properties.pageSetUpPr.fitToPage if ws.sheet_properties.pageSetUpPr else None,
                       ps.firstPageNumber, ps.useFirstPageNumber))
        out.append("margins: left=%s right=%s top=%s bottom=%s header=%s footer=%s" % (
            pm.left, pm.right, pm.top, pm.bottom, pm.header, pm.footer))
        out.append("print options: horizontalCentered=%s verticalCentered=%s gridLines=%s headings=%s" % (
            po.horizontalCentered, po.verticalCentered, po.gridLines, po.headings))
        out.append("print titles: rows=%s cols=%s; print area: %s" % (
            ws.print_title_rows, ws.print_title_cols, ws.print_area))
        out.append("header/footer: %r %r" % (ws.oddHeader.center.text, ws.oddFooter.center.text))
        out.append("row breaks: %s" % [b.id for b in ws.row_breaks.brk])
        for key, dim in sorted(ws.column_dimensions.items(), key=lambda kv: (len(kv[0]), kv[0])):
            out.append("column %s:%s width=%s hidden=%s style=%s" % (
                dim.min, dim.max, dim.width, dim.hidden, dim.style))
        styles, resolved, rows = {}, {}, []
        for row in ws.iter_rows():
            r = row[0].row
            dim = ws.row_dimensions.get(r)
            cells = []
            for cell in row:
                if cell.value is None and not cell.has_style:
                    continue
                # Cells of one style share its resolution (the style array is openpyxl's own key for it).
                raw = tuple(cell._style)
                if raw not in resolved:
                    resolved[raw] = styles.setdefault(style_key(cell), len(styles))
                cells.append("%s=%s@%d" % (cell.coordinate, value(cell.value), resolved[raw]))
            height = dim.height if dim is not None else None
            if cells or height is not None:
                rows.append((r, "row %d ht=%s: %s" % (r, height, " ".join(cells))))
        for key, number in styles.items():
            out.append("style %d: %s" % (number, key))
        merged = sorted((m.min_row, m.min_col, m.max_row, m.max_col) for m in ws.merged_cells.ranges)
        out.append("merged %d: %s" % (len(merged), " ".join(
            "%s%d:%s%d" % (openpyxl.utils.get_column_letter(c1), r1, openpyxl.utils.get_column_letter(c2), r2)
            for r1, c1, r2, c2 in merged) if not blocks else hashlib.sha256(repr(merged).encode()).hexdigest()))
        if not blocks:
            out.extend(line for _, line in rows)
            continue
        out.append("rows %d" % len(rows))
        for start in range(0, len(rows), blocks):
            chunk = rows[start:start + blocks]
            text = "\n".join(line for _, line in chunk)
            out.append("rows %d-%d sha256 %s" % (chunk[0][0], chunk[-1][0], hashlib.sha256(text.encode()).hexdigest()))
    names = sorted((n, d.attr_text) for n, d in book.defined_names.items()) if hasattr(book.defined_names, "items") \
        else sorted((d.name, d.attr_text) for d in book.defined_names.definedName)
    out.append("defined names: %s" % names)
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    blocks = int(sys.argv[sys.argv.index("--blocks") + 1]) if "--blocks" in sys.argv else 0
    sys.stdout.write(digest(sys.argv[1], blocks))
