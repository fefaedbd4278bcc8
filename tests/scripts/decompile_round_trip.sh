#!/usr/bin/env bash
# `vaskel-cli decompile` against chmcmd, the Free Pascal help compiler:
#   generated  projects made here (pages and pictures in folders, non-ASCII names, a contents
#              file, an index, two windows, aliases and a map; and a bare one) are compiled,
#              decompiled, the project compiled again with `chmcmd --no-html-scan` and that
#              decompiled too: every stored file but the #/$ ones is byte for byte the same,
#              #SYSTEM holds the same records but the compiler's name (9) and timestamp (10),
#              and the two projects written are the same text (windows, aliases and maps with
#              their strings resolved); chmcmd warns about nothing in our projects
#   corpus     every real help file is decompiled and rebuilt: every stored file comes back
#              byte for byte; what differs in the project is shown, not failed
#   damaged    #SYSTEM, #WINDOWS and #IVB whose counts, lengths and offsets lie give a project
#              of what could be read, a warning naming the record and exit status 1
# CHECKS picks some of them (default: all); KEEP=1 leaves the work folder in place. Environment:
# VASKEL_BIN (holding vaskel-cli), VASKEL_TOOLS (holding vaskel-chm-write), VASKEL_CORPUS.
set -uo pipefail
cli=${VASKEL_BIN:?}/vaskel-cli
writer=${VASKEL_TOOLS:?}/vaskel-chm-write
corpus=${VASKEL_CORPUS:?}
if ! command -v chmcmd >/dev/null; then
  echo "SKIP: chmcmd is not installed (fp-utils)"
  exit 0
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-decompile-XXXXXX")
trap '[[ -n ${KEEP:-} ]] || rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The records of a help file's #SYSTEM, one a line as code and hex data, but for the
# compiler's name and timestamp.
system_records() {
  "$cli" cat "$1" '#SYSTEM' | python3 -c '
import sys
data = sys.stdin.buffer.read()
print("version", int.from_bytes(data[0:4], "little"))
at = 4
while at + 4 <= len(data):
    code = int.from_bytes(data[at:at + 2], "little")
    size = int.from_bytes(data[at + 2:at + 4], "little")
    if code not in (9, 10):
        print(code, data[at + 4:at + 4 + size].hex())
    at += 4 + size'
}

# The SHA-256 and name of every stored file but the #/$ ones.
stored_sums() { "$cli" test "$1" 2>/dev/null | grep -Ev '^[0-9a-f]+  (.*/)?[#$]' | sort; }

# A project's text less its heading, with each window's numbers written one way: chmcmd marks
# the fields a project leaves empty as given, so "" and "0" cannot survive it apart.
project_text() {
  set -o pipefail
  tail -n +2 "$1" | python3 -c '
import re, sys
section = ""
for line in sys.stdin.read().splitlines():
    if line.startswith("["):
        section = line
    elif section == "[WINDOWS]" and line and not line.startswith(";"):
        strings = re.match(r"([^=]*=(?:\"[^\"]*\",){9})(.*)", line)
        numbers = strings.group(2).replace("[", "").replace("]", "").split(",")
        line = strings.group(1) + ",".join(str(int(n, 0) if n else 0) for n in numbers)
    print(line)'
}

# decompile CHM FOLDER: the project's path on standard output.
decompile() {
  "$cli" decompile "$1" "$2" 2>"$2.err" || { fail "decompile $1: $(cat "$2.err")"; return 1; }
  ls "$2"/*.hhp | head -1
}

# compile PROJECT: the help file made, on standard output; chmcmd's warnings are failures.
compile() {
  local folder project=$1
  folder=$(dirname "$project")
  (cd "$folder" && chmcmd --no-html-scan "$(basename "$project")") >"$project.log" 2>&1 ||
    { fail "chmcmd $project: $(tail -3 "$project.log")"; return 1; }
  if grep -Ei 'warning|error' "$project.log" >"$project.warnings"; then
    fail "chmcmd warns about $project:"
    cat "$project.warnings"
  fi
  echo "$folder/$(sed -n 's/^Compiled file=//p' "$project" | tr -d '\r')"
}

# round_trip NAME CHM STRICT: decompile, recompile, decompile again and compare.
round_trip() {
  local name=$1 chm=$2 strict=$3 first second rebuilt
  first=$(decompile "$chm" "$work/$name.1") || return
  rebuilt=$(compile "$first") || return
  second=$(decompile "$rebuilt" "$work/$name.2") || return
  stored_sums "$chm" >"$work/$name.sums1"
  stored_sums "$rebuilt" >"$work/$name.sums2"
  local files added
  files=$(wc -l <"$work/$name.sums1")
  added=$(comm -13 "$work/$name.sums1" "$work/$name.sums2" | sed 's/^[0-9a-f]*  //' | tr '\n' ' ')
  if comm -23 "$work/$name.sums1" "$work/$name.sums2" | grep -q .; then
    fail "$name: stored files differ after the round trip:"
    diff "$work/$name.sums1" "$work/$name.sums2" | head -20
    return
  fi
  diff <(project_text "$first") <(project_text "$second") >"$work/$name.project"
  diff <(system_records "$chm") <(system_records "$rebuilt") >"$work/$name.system"
  if [[ ! -s "$work/$name.project" && ! -s "$work/$name.system" ]]; then
    echo "ok   $name: $files files byte for byte${added:+ (chmcmd adds $added)}; #SYSTEM, the" \
      "windows, aliases and map survive the round trip"
  elif [[ $strict == strict ]]; then
    fail "$name: the project differs after the round trip:"
    cat "$work/$name.project" "$work/$name.system"
  else
    echo "ok   $name: $files files byte for byte${added:+ (chmcmd adds $added)}; what chmcmd" \
      "writes otherwise:"
    sed 's/^/       /' "$work/$name.project" | cut -c1-160
    sed 's/^/       #SYSTEM /' "$work/$name.system" | cut -c1-120
  fi
}

# --- generated projects -----------------------------------------------------------------------
make_project() {  # make_project FOLDER
  python3 - "$1" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(24)
def put(name, data):
    path = os.path.join(root, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))
pages = ["index.htm", "kapitel/über.htm", "kapitel/straße.htm", "日本/ページ.htm", "z/zz.html"]
for i, page in enumerate(pages):
    put(page, f"<html><head><title>Page {i}</title></head><body><p>{'text ' * (i * 300)}</p>"
              f"<img src=\"/bilder/b{i}.png\"></body></html>")
for i in range(len(pages)):
    put(f"bilder/b{i}.png", b"\x89PNG\r\n\x1a\n" + bytes(random.getrandbits(8) for _ in range(3000 * i)))
item = '<li><object type="text/sitemap"><param name="Name" value="{0}"><param name="Local" value="{1}"></object>\n'
put("inhalt.hhc", "<html><body><ul>\n" + "".join(item.format(f"Seite {i}", p) for i, p in enumerate(pages)) + "</ul></body></html>\n")
put("stichwort.hhk", "<html><body><ul>\n" + "".join(item.format(f"Wort {i}", p) for i, p in enumerate(pages[::-1])) + "</ul></body></html>\n")
project = f"""[OPTIONS]
Compatibility=1.1 or later
Compiled file=hilfe.chm
Contents file=inhalt.hhc
Index file=stichwort.hhk
Default topic=index.htm
Default Window=haupt
Default Font=Tahoma,8,0
Title=Hilfe für Prüfungen
Language=0x0407 German (Germany)
Full-text search=Yes
Binary TOC=No
Binary Index=Yes

[WINDOWS]
haupt="Hauptfenster","inhalt.hhc","stichwort.hhk","index.htm","kapitel/über.htm","z/zz.html","Sprung eins","日本/ページ.htm","Sprung zwei",0x63520,230,0x10304e,[20,30,820,630],0x30000,0x100,1,1,1,1,7
popup="Neben","inhalt.hhc","stichwort.hhk","kapitel/straße.htm","index.htm","","","","",0x2520,180,0x1846,[5,6,405,306],0x80000,0x200,3,1,2,2,9

[FILES]
{chr(10).join(pages + [f"bilder/b{i}.png" for i in range(len(pages))])}

[ALIAS]
IDH_START=index.htm
IDH_UMLAUT=kapitel/über.htm
IDH_NIHON=日本/ページ.htm

[MAP]
#define IDH_START 1
#define IDH_UMLAUT 4711
#define IDH_NIHON 2000000000
"""
put("hilfe.hhp", project)
put("bare/bare.hhp", "[OPTIONS]\nCompiled file=bare.chm\nTitle=Bare\n\n[FILES]\nseite.htm\n")
put("bare/seite.htm", "<html><body>bare</body></html>")
PY
}
make_project "$work/src"
checks=" ${CHECKS:-generated corpus damaged} "
if [[ $checks == *" generated "* ]] && original=$(compile "$work/src/hilfe.hhp") && bare=$(compile "$work/src/bare/bare.hhp"); then
  round_trip generated "$original" strict
  round_trip bare "$bare" strict
fi

# --- the real corpus --------------------------------------------------------------------------
[[ $checks == *" corpus "* ]] && for chm in "$corpus"/real/*; do
  [[ -f $chm ]] && round_trip "real-$(basename "$chm")" "$chm" lenient
done

# --- damaged records --------------------------------------------------------------------------
# damaged NAME PATTERN: a help file of one page and the given internal files (written by the
# Python that follows on standard input) decompiles with exit 1 and a warning matching PATTERN,
# and still writes the page and a project.
damaged() {
  [[ $checks == *" damaged "* ]] || { cat >/dev/null; return; }
  local name=$1 pattern=$2 folder="$work/damaged-$1"
  mkdir -p "$folder/in"
  echo '<html><body>page</body></html>' >"$folder/in/page.htm"
  python3 - "$folder/in" || { fail "$name: cannot make the file"; return; }
  "$writer" "$folder/$name.chm" "$folder/in" >/dev/null || { fail "$name: cannot pack"; return; }
  "$cli" decompile "$folder/$name.chm" "$folder/out" 2>"$folder/err"
  local status=$?
  if [[ $status -ne 1 ]]; then
    fail "$name: exit status $status, wants 1"
  elif ! grep -q "$pattern" "$folder/err"; then
    fail "$name: no warning matching '$pattern':"
    cat "$folder/err"
  elif [[ ! -s "$folder/out/page.htm" || ! -s "$folder/out/$name.hhp" ]]; then
    fail "$name: the page or the project is missing"
  else
    echo "ok   $name: $(grep -m1 "$pattern" "$folder/err" | sed 's/.*\.chm: //')"
  fi
}
damaged system-overrun '#SYSTEM: record 1 (code 3) claims' <<'PY'
import struct, sys
def rec(code, data): return struct.pack("<HH", code, len(data)) + data
open(sys.argv[1] + "/#SYSTEM", "wb").write(struct.pack("<I", 3) + rec(2, b"page.htm\0") + struct.pack("<HH", 3, 60000) + b"Title\0")
PY
damaged system-short '#SYSTEM: 2 bytes' <<'PY'
import sys
open(sys.argv[1] + "/#SYSTEM", "wb").write(b"\3\0")
PY
damaged system-unterminated '#SYSTEM: record 0 (code 3): its text is not terminated' <<'PY'
import struct, sys
open(sys.argv[1] + "/#SYSTEM", "wb").write(struct.pack("<IHH", 3, 3, 5) + b"Title")
PY
damaged windows-two-billion '#WINDOWS: declares 2000000000 windows, holds 1' <<'PY'
import struct, sys
d = sys.argv[1]
open(d + "/#SYSTEM", "wb").write(struct.pack("<I", 3))
open(d + "/#STRINGS", "wb").write(b"\0main\0")
entry = bytearray(196); entry[8:12] = struct.pack("<I", 1)
open(d + "/#WINDOWS", "wb").write(struct.pack("<II", 2000000000, 196) + bytes(entry))
PY
damaged windows-string-nowhere '#WINDOWS: window 0: its caption at #STRINGS offset 4000000000' <<'PY'
import struct, sys
d = sys.argv[1]
open(d + "/#SYSTEM", "wb").write(struct.pack("<I", 3))
open(d + "/#STRINGS", "wb").write(b"\0main\0")
entry = bytearray(196); entry[8:12] = struct.pack("<I", 1); entry[0x14:0x18] = struct.pack("<I", 4000000000)
open(d + "/#WINDOWS", "wb").write(struct.pack("<II", 1, 196) + bytes(entry))
PY
damaged windows-entry-size '#WINDOWS: entries of 12 bytes' <<'PY'
import struct, sys
d = sys.argv[1]
open(d + "/#SYSTEM", "wb").write(struct.pack("<I", 3))
open(d + "/#WINDOWS", "wb").write(struct.pack("<III", 1, 12, 0))
PY
damaged ivb-overrun '#IVB: declares 4294967295 bytes' <<'PY'
import struct, sys
d = sys.argv[1]
open(d + "/#SYSTEM", "wb").write(struct.pack("<I", 3))
open(d + "/#STRINGS", "wb").write(b"\0page.htm\0")
open(d + "/#IVB", "wb").write(struct.pack("<IIIII", 0xFFFFFFFF, 7, 1, 8, 99))
PY
damaged ivb-topic-nowhere '#IVB: context id 8: its topic at #STRINGS offset 99' <<'PY'
import struct, sys
d = sys.argv[1]
open(d + "/#SYSTEM", "wb").write(struct.pack("<I", 3))
open(d + "/#STRINGS", "wb").write(b"\0page.htm\0")
open(d + "/#IVB", "wb").write(struct.pack("<IIIII", 16, 7, 1, 8, 99))
PY
# Sound but unusual: the older 188-byte windows are read; a caption holding a quote, which the
# project syntax cannot carry, leaves its window commented out rather than broken; a project
# file the help file stores keeps its bytes, ours takes another name.
if [[ $checks == *" damaged "* ]]; then
  folder="$work/old-windows"
  mkdir -p "$folder/in"
  echo '<html><body>page</body></html>' >"$folder/in/page.htm"
  echo 'stored' >"$folder/in/OLD.hhp"
  python3 - "$folder/in" <<'PY'
import struct, sys
d = sys.argv[1]
open(d + "/#SYSTEM", "wb").write(struct.pack("<I", 2))
open(d + "/#STRINGS", "wb").write(b'\0old\0Old "quoted"\0page.htm\0new\0')
def window(name, caption):
    entry = bytearray(188)
    struct.pack_into("<IIIIII", entry, 0, 188, 0, name, 0x20, 0, caption)
    struct.pack_into("<I", entry, 0x68, 18)
    struct.pack_into("<i", entry, 0x4C, -5)
    return bytes(entry)
open(d + "/#WINDOWS", "wb").write(struct.pack("<II", 2, 188) + window(1, 5) + window(27, 18))
PY
  "$writer" "$folder/old.chm" "$folder/in" >/dev/null
  if ! "$cli" decompile "$folder/old.chm" "$folder/out" 2>"$folder/err"; then
    fail "old-windows: $(cat "$folder/err")"
  elif ! grep -qx 'new="page.htm","","","page.htm","","","","","",,-5,,,,,,,,,' \
    "$folder/out/old-project.hhp" || ! grep -q '^; old="Old "quoted""' "$folder/out/old-project.hhp" ||
    ! grep -qx 'Compatibility=1.0' "$folder/out/old-project.hhp" ||
    [[ $(cat "$folder/out/OLD.hhp") != stored ]]; then
    fail "old-windows: the project is not as expected:"
    cat "$folder/out/old-project.hhp"
  else
    echo "ok   old-windows: 188-byte windows read; a quoted caption commented out; OLD.hhp kept"
  fi
fi

# What could be read is kept: the sound records before the damaged ones.
if [[ $checks == *" damaged "* ]]; then
  grep -qx 'IDH_7=page.htm' "$work/damaged-ivb-topic-nowhere/out/ivb-topic-nowhere.hhp" ||
    fail "ivb-topic-nowhere: the sound context id 7 is not in the project"
  grep -qx 'Default topic=page.htm' "$work/damaged-system-overrun/out/system-overrun.hhp" ||
    fail "system-overrun: the sound record before the damaged one is not in the project"
fi

[[ $failures -eq 0 ]] || { echo "$failures failure(s)"; exit 1; }
