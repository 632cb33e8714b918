"""Writes a workbook that no spreadsheet program saves, to PATH: KIND is
not-xml (the sheet is random bytes), changed (a stored sheet with one byte
of an order number changed after its checksum was taken), shared-bomb
(17 million empty shared texts, a few hundred kilobytes compressed),
long-cell (one cell of 64 MiB), wide-row (4,000 cells of 30,000 characters)
comment (64 MiB of comment between two rows, otherwise sound) or cut (a
sound workbook cut short, as by a copy that did not finish)."""
import random
import sys
import zipfile

KIND, PATH = sys.argv[1], sys.argv[2]
NS = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
HEADER = '<row r="1"><c r="A1" t="inlineStr"><is><t>卖家账号</t></is></c>' \
         '<c r="B1" t="inlineStr"><is><t>订单号</t></is></c></row>'
ORDER = '<row r="{r}"><c r="A{r}" t="inlineStr"><is><t>店</t></is></c>' \
        '<c r="B{r}" t="inlineStr"><is><t>3856123456789012345</t></is></c></row>'
MiB = 1 << 20


def frame(book, shared=False):
    book.writestr("[Content_Types].xml",
                  '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/'
                  'package/2006/content-types"/>')
    book.writestr("xl/workbook.xml",
                  f'<workbook {NS} xmlns:r="{REL}"><sheets>'
                  '<sheet name="订单" sheetId="1" r:id="rId1"/></sheets></workbook>')
    rels = f'<Relationship Id="rId1" Type="{REL}/worksheet" Target="worksheets/sheet1.xml"/>'
    if shared:
        rels += f'<Relationship Id="rId2" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/>'
    book.writestr("xl/_rels/workbook.xml.rels",
                  '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
                  f'relationships">{rels}</Relationships>')


def sheet(book, *pieces):
    with book.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as part:
        part.write(f'<worksheet {NS}><sheetData>'.encode())
        for piece in pieces:
            for chunk in piece:
                part.write(chunk.encode() if isinstance(chunk, str) else chunk)
        part.write(b"</sheetData></worksheet>")


def repeated(text, times):
    block = text * max(1, MiB // len(text))
    for _ in range(times * len(text) // len(block)):
        yield block


if KIND == "cut":
    with zipfile.ZipFile(PATH, "w", zipfile.ZIP_DEFLATED) as book:
        frame(book)
        sheet(book, [HEADER, ORDER.format(r=2)])
    data = open(PATH, "rb").read()
    open(PATH, "wb").write(data[:len(data) // 2])
    sys.exit(0)

if KIND == "changed":
    with zipfile.ZipFile(PATH, "w", zipfile.ZIP_STORED) as book:
        frame(book)
        sheet(book, [HEADER, ORDER.format(r=2)])
    data = open(PATH, "rb").read()
    at = data.index(b"3856123456789012345")
    open(PATH, "wb").write(data[:at] + b"9" + data[at + 1:])
    sys.exit(0)

with zipfile.ZipFile(PATH, "w", zipfile.ZIP_DEFLATED, compresslevel=1) as book:
    if KIND == "not-xml":
        frame(book)
        random.seed(7)
        book.writestr("xl/worksheets/sheet1.xml", bytes(random.randrange(256) for _ in range(4096)))
    elif KIND == "shared-bomb":
        frame(book, shared=True)
        with book.open("xl/sharedStrings.xml", "w", force_zip64=True) as part:
            part.write(f'<sst {NS}>'.encode())
            for chunk in repeated("<si><t/></si>", 17 * MiB):
                part.write(chunk.encode())
            part.write(b"</sst>")
        sheet(book, [HEADER, ORDER.format(r=2)])
    elif KIND == "long-cell":
        frame(book)
        sheet(book, [HEADER, '<row r="2"><c r="A2" t="inlineStr"><is><t>'],
              repeated("x", 64 * MiB), ["</t></is></c></row>"])
    elif KIND == "wide-row":
        frame(book)
        cells = ('<c t="inlineStr"><is><t>' + "长" * 30000 + "</t></is></c>" for _ in range(4000))
        sheet(book, [HEADER, '<row r="2">'], cells, ["</row>"])
    elif KIND == "comment":
        frame(book)
        sheet(book, [HEADER, ORDER.format(r=2), "<!--"], repeated("-x", 64 * MiB),
              ["-->", ORDER.format(r=3).replace("店", "二店")])
