"""Writes a one-sheet workbook with openpyxl from JSON rows given on standard
input: a cell is a string (a text cell), a number, or an object
{"number": N, "format": F} / {"date": "YYYY-MM-DD", "format": F}."""
import datetime
import json
import sys

import openpyxl

book = openpyxl.Workbook()
sheet = book.active
for r, row in enumerate(json.load(sys.stdin), start=1):
    for c, value in enumerate(row, start=1):
        if value is None:
            continue
        cell = sheet.cell(row=r, column=c)
        if isinstance(value, dict):
            if "date" in value:
                cell.value = datetime.date.fromisoformat(value["date"])
            else:
                cell.value = value["number"]
            cell.number_format = value["format"]
        else:
            cell.value = value
book.save(sys.argv[1])
