#!/usr/bin/env bash
# The main job on the bundled example drawing: numbers the objects and the
# procedures of the first page, adds a field to an object's table in the
# object editor, draws the entity diagram of the objects' tables and creates
# those tables in a new database. Works on a copy in out/, so the
# example stays as it is, and prints what each step produced.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build_dir=${BUILD_DIR:-build}
kalemar=$build_dir/src/host/kalemar
dump=$build_dir/src/host/kalemar-dump
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

out=out
rm -rf "$out"
mkdir -p "$out"
drawing=$out/order-process.vsdx
cp examples/order-process.vsdx "$drawing"

step() { printf '\n== %s\n' "$*"; }

step "Numbering the objects of page 1 as О-1, О-2, ... (command 7)"
"$kalemar" --drawing "$drawing" --page 1 \
  --set tbCONST=О- --choose RzRadioGroup1=0 --press btnSAVE \
  --set tbCONST=П- --choose RzRadioGroup1=1 --press btnSAVE --press btnClose 7

step "Numbers given (property row 0; the copy on page 2 follows its source)"
"$dump" "$drawing" | python3 -c '
import json, sys
for page in json.load(sys.stdin)["pages"]:
    print(" ", page["name"])
    for shape in page["shapes"]:
        if shape["kind"] in (0, 1, 2) and shape["properties"]:
            print("    %-36s %s" % (shape["shownText"].replace("\n", " / ") or shape["name"], shape["properties"][0]))
'

step "Object editor: a field Total added to the table of the order О-2 through the field dialog (command 5)"
# The object is selected by the number that command 7 gave it.
"$kalemar" --drawing "$drawing" --page 1 --select О-2 \
  --choose RzPageControl1=1 --press RzBitBtn1 \
  --set edtNAME=Total --set "edtDESC=Сумма заказа" --choose cbTYPE=@Float --press RzBitBtn1 \
  --print tvFields --press btnSAVE 5

step "The order's table definition (user row 0) as kalemar-dump shows it"
"$dump" "$drawing" | python3 -c '
import json, sys
for shape in json.load(sys.stdin)["pages"][0]["shapes"]:
    if shape["properties"][:1] == ["\"О-2\""]:
        print(" ", shape["user0"])
'

step "Entity diagram of the tables (command 2)"
"$kalemar" --drawing "$drawing" 2 | tee "$out/diagram.txt"

step "Database with the tables (command 4)"
"$kalemar" --drawing "$drawing" --file "$out/orders.db" 4
sqlite3 "$out/orders.db" .schema

step "The new column Total of the table Orders in the database"
sqlite3 "$out/orders.db" "select name, type from pragma_table_info('Orders') where name = 'Total'"

step "Files in $out/"
ls -l "$out"

step "Listing into workbooks (command 10): the objects of every page, then the procedures of page 1"
"$kalemar" --drawing "$drawing" --page 1 \
  --choose rgTYPE=0 --choose rgPAGE=0 --press btnSAVE \
  --choose rgTYPE=1 --choose rgPAGE=1 --press btnSAVE --press btnClose 10 | tee "$out/listing.txt"

step "The workbooks' rows as openpyxl reads them (cells separated by |)"
while read -r book; do
  /usr/bin/python3 - "$book" <<'PY'
import sys
import openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
print(" ", sys.argv[1])
for row in sheet.iter_rows(values_only=True):
    print("    " + " | ".join("" if v is None else str(v).replace("\n", " / ") for v in row))
PY
done < "$out/listing.txt"

step "Detail page of the frame on page 1 (command 11)"
"$kalemar" --drawing "$drawing" --page 1 --select Frame 11

step "The new page and its stamp, as kalemar-dump reads them"
"$dump" "$drawing" | python3 -c '
import json, sys
pages = json.load(sys.stdin)["pages"]
print("  pages:", ", ".join(page["name"] for page in pages))
for shape in pages[-1]["shapes"]:
    print("  %s on page %s at (%s, %s): %s" % (shape["name"], pages[-1]["name"], shape["pinX"], shape["pinY"],
                                              ", ".join(shape["properties"][:2])))
'
