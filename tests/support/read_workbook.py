#!/usr/bin/python3
"""Prints what openpyxl reads of an .xlsx workbook, one fact a line, fields
separated by tabs; tabs, line feeds, carriage returns and backslashes inside a
value are written as \\t, \\n, \\r and \\\\.

    title   TEXT
    sheets  COUNT
    freeze  CELL            (only when panes are frozen)
    filter  RANGE           (only when the sheet has an autofilter)
    ignored RANGE           (ranges whose "number stored as text" warning is off)
    width   COLUMN  WIDTH   (columns given a width)
    height  ROW     HEIGHT  (rows given a height, in points)
    print   ORIENTATION PAGES-WIDE PAGES-TALL TITLE-ROWS
    bold    CELL            (cells shown bold)
    cell    ROW COLUMN TYPE VALUE   (non-empty cells; TYPE is openpyxl's: s text, n number, ...)
"""
import re
import sys
import zipfile

import openpyxl


def escape(text):
    return (str(text).replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def ignored_ranges(path, sheet_part):
    # openpyxl drops ignoredErrors; the sheet's XML says it directly.
    with zipfile.ZipFile(path) as package:
        xml = package.read(sheet_part).decode("utf-8")
    for attributes in re.findall(r"<ignoredError ([^>]*)/>", xml):
        if 'numberStoredAsText="1"' in attributes:
            yield re.search(r'sqref="([^"]*)"', attributes).group(1)


def main(path):
    book = openpyxl.load_workbook(path)
    print("title\t" + escape(book.properties.title or ""))
    print("sheets\t%d" % len(book.worksheets))
    sheet = book.worksheets[0]
    if sheet.freeze_panes:
        print("freeze\t" + sheet.freeze_panes)
    if sheet.auto_filter.ref:
        print("filter\t" + sheet.auto_filter.ref)
    for sqref in ignored_ranges(path, "xl/worksheets/sheet1.xml"):
        print("ignored\t" + sqref)
    # Pages wide and tall count only when fitting is on; a count left out is 1.
    fit = sheet.sheet_properties.pageSetUpPr
    fitting = fit is not None and fit.fitToPage
    def pages(count):
        return ("1" if count is None else str(count)) if fitting else "-"
    print("print\t%s\t%s\t%s\t%s" % (sheet.page_setup.orientation, pages(sheet.page_setup.fitToWidth),
                                     pages(sheet.page_setup.fitToHeight), sheet.print_title_rows or "-"))
    for letter, dimension in sorted(sheet.column_dimensions.items()):
        if dimension.customWidth:
            print("width\t%s\t%r" % (letter, dimension.width))
    for number, dimension in sorted(sheet.row_dimensions.items()):
        if dimension.customHeight:
            print("height\t%d\t%r" % (number, dimension.height))
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            if cell.font is not None and cell.font.b:
                print("bold\t" + cell.coordinate)
            print("cell\t%d\t%d\t%s\t%s" % (cell.row, cell.column, cell.data_type, escape(cell.value)))


if __name__ == "__main__":
    main(sys.argv[1])
