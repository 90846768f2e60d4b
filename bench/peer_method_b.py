#!/usr/bin/env python3
"""Method B the way a Linux user would do it today with openpyxl: append every workbook's
rows (values and formats) below the title of the first one, into one result workbook.

    peer_method_b.py FOLDER SHEET RESULT [--title-rows 6] [--data-start 7]
"""
import argparse
import copy
import glob
import os

from openpyxl import Workbook, load_workbook


def copy_cell(source, target):
    target.value = source.value
    if source.has_style:
        target.font = copy.copy(source.font)
        target.fill = copy.copy(source.fill)
        target.border = copy.copy(source.border)
        target.number_format = source.number_format
        target.alignment = copy.copy(source.alignment)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("sheet")
    parser.add_argument("result")
    parser.add_argument("--title-rows", type=int, default=6)
    parser.add_argument("--data-start", type=int, default=7)
    args = parser.parse_args()

    files = sorted(glob.glob(os.path.join(args.folder, "*.xls*")), key=str.lower)
    result = Workbook()
    out = result.active
    out.title = args.sheet
    dest = 1
    for index, path in enumerate(files):
        book = load_workbook(path)
        ws = book[args.sheet]
        if index == 0:
            for row in ws.iter_rows(min_row=1, max_row=args.title_rows):
                for cell in row:
                    copy_cell(cell, out.cell(row=cell.row, column=cell.column))
            for merged in ws.merged_cells.ranges:
                if merged.max_row <= args.title_rows:
                    out.merge_cells(str(merged))
            for key, dim in ws.column_dimensions.items():
                out.column_dimensions[key].width = dim.width
            dest = args.title_rows + 1
        last = ws.max_row
        for row in ws.iter_rows(min_row=args.data_start, max_row=last):
            for cell in row:
                copy_cell(cell, out.cell(row=dest, column=cell.column))
            dest += 1
        book.close()
    result.save(args.result)


if __name__ == "__main__":
    main()
