"""Writes a one-sheet workbook with openpyxl from JSON rows given on standard
input: a cell is a string (a text cell), a number, or an object
{"number": N, "format": F} / {"date": "YYYY-MM-DD", "format": F} /
{"formula": "=..."} (a formula, saved without a result as openpyxl does).
With --chart-first a chart sheet comes before the sheet."""
import datetime
import json
import sys

import openpyxl

book = openpyxl.Workbook()
sheet = book.active
if "--chart-first" in sys.argv[2:]:
    book.create_chartsheet("图表", 0)
for r, row in enumerate(json.load(sys.stdin), start=1):
    for c, value in enumerate(row, start=1):
        if value is None:
            continue
        cell = sheet.cell(row=r, column=c)
        if isinstance(value, dict):
            if "formula" in value:
                cell.value = value["formula"]
                continue
            if "date" in value:
                cell.value = datetime.date.fromisoformat(value["date"])
            else:
                cell.value = value["number"]
            cell.number_format = value["format"]
        else:
            cell.value = value
book.save(sys.argv[1])
