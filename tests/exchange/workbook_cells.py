"""Prints every sheet of a workbook as openpyxl reads it, as JSON: the sheet
names, the frozen cell of each sheet, and each cell as [value, type, format].
Texts are given with the format's _xHHHH_ escapes decoded by openpyxl's own
decoder, which openpyxl 3.0 leaves to its caller."""
import datetime
import json
import sys

import openpyxl
from openpyxl.utils.escape import unescape

book = openpyxl.load_workbook(sys.argv[1])
out = {"names": book.sheetnames, "frozen": [], "sheets": []}
for sheet in book.worksheets:
    out["frozen"].append(sheet.freeze_panes or "")
    rows = []
    for row in sheet.iter_rows():
        cells = []
        for cell in row:
            value = cell.value
            if isinstance(value, (datetime.date, datetime.datetime)):
                value = value.isoformat()
            elif isinstance(value, str):
                value = unescape(value)
            cells.append([value, cell.data_type, cell.number_format])
        rows.append(cells)
    out["sheets"].append(rows)
json.dump(out, sys.stdout, ensure_ascii=False)
