#!/usr/bin/env bash
# The program's own help file is built, opens, and holds exactly the pages of docs/help/; the
# committed artwork has the sizes and colour rules the window relies on.
set -euo pipefail
cli="${VASKEL_BIN:?}/vaskel-cli"
build="${VASKEL_BUILD:?}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
chm="$build/app/VaskelHelp.chm"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# --- the help file -------------------------------------------------------------------------
if [[ ! -s "$chm" ]]; then
  echo "FAIL: $chm is missing; build the vaskel_help target"
  exit 1
fi
"$cli" tree "$chm" >"$work/tree" || fail "vaskel-cli tree cannot open VaskelHelp.chm"
"$cli" list "$chm" 2>/dev/null | cut -f1,4 >"$work/list" || fail "vaskel-cli list failed"
grep -qx $'index.html\t' "$work/list" || fail "index.html is not listed at the top level"

# Every source page is stored, byte for byte, and nothing else is.
(cd "$root/docs/help" && find . -type f -printf '%P\0' | xargs -0 sha256sum | sort -k2) \
  >"$work/expected"
if "$cli" test "$chm" 2>"$work/err" | sort -k2 >"$work/actual"; then
  diff -u "$work/expected" "$work/actual" >"$work/diff" ||
    { fail "VaskelHelp.chm differs from docs/help/:"; head -20 "$work/diff"; }
else
  fail "vaskel-cli test VaskelHelp.chm: $(cat "$work/err")"
fi
[[ $failed -eq 0 ]] && echo "ok: VaskelHelp.chm ($(wc -l <"$work/actual") pages and files)"

# --- the artwork ---------------------------------------------------------------------------
python3 - "$root/res/art" <<'PY' || failed=1
import os, sys
art = sys.argv[1]
sys.path.insert(0, art)
import pngkit  # standard library only

MASK = (252, 108, 108)
WINDOWS_16 = set(pngkit.WINDOWS_16)
problems = []

def load(name, size, colour_type):
    path = os.path.join(art, name)
    if not os.path.isfile(path):
        problems.append(f"{name} is missing")
        return None
    with open(path, "rb") as f:
        head = f.read(26)
    width, height = int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")
    if (width, height) != size:
        problems.append(f"{name} is {width}x{height}, wants {size[0]}x{size[1]}")
        return None
    if head[25] != colour_type:
        problems.append(f"{name} has PNG colour type {head[25]}, wants {colour_type}")
    return pngkit.read_png(path)[2]

for size in (16, 24, 32, 48, 64, 128, 256):
    rows = load(f"vaskel-{size}.png", (size, size), 6)
    if rows and rows[0][0][3] != 0:
        problems.append(f"vaskel-{size}.png: the corner is not transparent")
for svg in ("vaskel.svg", "vaskel-16.svg", "toolbar.svg", "tip-bulb.svg"):
    if not os.path.isfile(os.path.join(art, svg)):
        problems.append(f"{svg} is missing")

for name, palette_only in (("toolbar141.png", False), ("toolbar128.png", True)):
    rows = load(name, (320, 40), 3 if palette_only else 2)
    if not rows:
        continue
    for cell in range(5):
        x0 = cell * 64
        border = [rows[y][x] for y in (0, 39) for x in range(x0, x0 + 64)]
        border += [rows[y][x] for y in range(40) for x in (x0, x0 + 63)]
        if any(p[:3] != MASK for p in border):
            problems.append(f"{name}: image {cell} does not stand on the mask colour")
        drawn = sum(p[:3] != MASK for row in rows for p in row[x0:x0 + 64])
        if drawn < 200:
            problems.append(f"{name}: image {cell} is nearly empty ({drawn} pixels)")
    colours = {p[:3] for row in rows for p in row}
    blends = [c for c in colours if c != MASK and sum((a - b) ** 2 for a, b in zip(c, MASK)) < 900]
    if blends:
        problems.append(f"{name}: colours blended into the mask: {sorted(blends)[:5]}")
    if palette_only and not colours <= WINDOWS_16 | {MASK}:
        problems.append(f"{name}: colours outside the 16-colour palette: "
                        f"{sorted(colours - WINDOWS_16 - {MASK})[:5]}")

rows = load("tip-bulb.png", (40, 53), 2)
if rows:
    corners = [rows[0][0], rows[0][39], rows[52][0], rows[52][39]]
    if any(p[:3] != (255, 255, 255) for p in corners):
        problems.append("tip-bulb.png: the background is not white")

for problem in problems:
    print("FAIL:", problem)
if not problems:
    print("ok: artwork sizes, masks and palettes")
sys.exit(1 if problems else 0)
PY
exit $failed
