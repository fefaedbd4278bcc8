#!/usr/bin/env bash
# `cmake --install` into a throw-away DESTDIR lays out a normal installation under /usr: the
# programs, their data in share/vaskel/, a valid desktop entry and AppStream description, the
# icon at every size, manual pages that render; the installed vaskel-cli reads the installed
# sample; and the Debian package built from the same build holds the same files.
# Environment: VASKEL_BUILD (the build folder).
set -uo pipefail
build=${VASKEL_BUILD:?}
root_dir="$(cd "$(dirname "$0")/../.." && pwd)"
[[ -x "$build/cli/vaskel-cli" && -x "$build/app/vaskel" ]] || {
  echo "build vaskel and vaskel-cli first" >&2
  exit 1
}
work=$(mktemp -d "${TMPDIR:-/tmp}/vaskel-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check "what" command...: the command must succeed
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

dest="$work/root"
if ! DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL cmake --install"
  exit 1
fi
usr="$dest/usr"

# --- layout ----------------------------------------------------------------------------------
expected=(
  bin/vaskel bin/vaskel-cli
  share/vaskel/VaskelHelp.chm share/vaskel/vaskel-sample.chm
  share/applications/vaskel.desktop
  share/icons/hicolor/scalable/apps/vaskel.svg
  share/metainfo/org.example.vaskel.metainfo.xml
  share/man/man1/vaskel.1.gz share/man/man1/vaskel-cli.1.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/vaskel.png")
done
[[ -f "$build/app/tips.txt" ]] && expected+=(share/vaskel/tips.txt)
# A catalogue per language of po/LINGUAS whose po/LANG.po exists.
languages=()
while read -r language; do
  [[ -f "$root_dir/po/$language.po" ]] || continue
  languages+=("$language")
  expected+=("share/locale/$language/LC_MESSAGES/vaskel.mo")
done < <(grep -v '^#' "$root_dir/po/LINGUAS")
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
(cd "$usr" && find . -type f -printf '%P\n' | sort) >"$work/installed"
check "installed files are exactly the expected ones" diff -u "$work/expected" "$work/installed"
check "programs are executable" test -x "$usr/bin/vaskel" -a -x "$usr/bin/vaskel-cli"
speaks_installed_language() {  # the installed vaskel-cli finds its installed catalogue
  local english translated
  english=$(LC_ALL= LANG=C "$usr/bin/vaskel-cli" --help)
  translated=$(LC_ALL= LANG=C.UTF-8 LANGUAGE=$1 "$usr/bin/vaskel-cli" --help)
  [[ $translated != "$english" ]]
}
for language in "${languages[@]}"; do
  check "vaskel-cli speaks the installed $language" speaks_installed_language "$language"
done
[[ -f "$build/app/tips.txt" ]] &&
  check "tips.txt installed as built" cmp "$build/app/tips.txt" "$usr/share/vaskel/tips.txt"
check "help file installed as built" cmp "$build/app/VaskelHelp.chm" \
  "$usr/share/vaskel/VaskelHelp.chm"

icon_sizes_match() {
  local size
  for size in 16 24 32 48 64 128 256; do
    file -b "$usr/share/icons/hicolor/${size}x${size}/apps/vaskel.png" |
      grep -q "^PNG image data, $size x $size," ||
      { echo "  the ${size}x${size} icon has another size"; return 1; }
  done
}
check "icons have their folder's size" icon_sizes_match
check "scalable icon is SVG" grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/vaskel.svg"

# --- desktop entry and AppStream description ------------------------------------------------
desktop="$usr/share/applications/vaskel.desktop"
check "desktop-file-validate" desktop-file-validate "$desktop"
check "Exec opens one file per start" grep -qx 'Exec=vaskel %f' "$desktop"
check "MimeType names both CHM types" \
  grep -qx 'MimeType=application/vnd.ms-htmlhelp;application/x-chm;' "$desktop"
check "Icon is the installed icon's name" grep -qx 'Icon=vaskel' "$desktop"
metainfo="$usr/share/metainfo/org.example.vaskel.metainfo.xml"
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
check "appstreamcli validate-tree (launchable, icon)" appstreamcli validate-tree --no-net "$dest"
check "metainfo launches the desktop entry" \
  grep -q '<launchable type="desktop-id">vaskel.desktop</launchable>' "$metainfo"
check "metainfo shows the screenshot" grep -q '<image type="source"[^>]*>https\?://' "$metainfo"

# --- manual pages ----------------------------------------------------------------------------
renders() {  # renders PAGE NAME: formats without warnings and shows its NAME section
  MANWIDTH=80 man --warnings -l "$1" >"$work/page" 2>"$work/warnings" &&
    [[ ! -s "$work/warnings" ]] && grep -q "^NAME" "$work/page" &&
    grep -q "^ *$2 - " "$work/page" || { cat "$work/warnings"; return 1; }
}
check "man vaskel renders" renders "$usr/share/man/man1/vaskel.1.gz" vaskel
check "man vaskel-cli renders" renders "$usr/share/man/man1/vaskel-cli.1.gz" vaskel-cli
commands_documented() {  # every command vaskel-cli offers has its entry in the page
  MANWIDTH=200 man -l "$usr/share/man/man1/vaskel-cli.1.gz" >"$work/cli-page" 2>/dev/null
  local command
  local commands
  commands=$("$usr/bin/vaskel-cli" --help |
    awk '/^commands:/ {on=1; next} on && !NF {exit} on {print $1}')
  for command in $commands; do
    grep -q "^ *$command FILE.chm" "$work/cli-page" || { echo "  $command is missing"; return 1; }
  done
}
check "man vaskel-cli documents every command" commands_documented

# --- the installed programs ------------------------------------------------------------------
sample="$usr/share/vaskel/vaskel-sample.chm"
(cd "$root_dir/res/sample" && find . -type f -printf '%P\0' | xargs -0 sha256sum | sort -k2) \
  >"$work/sample.expected"
sample_reads_back() {
  "$usr/bin/vaskel-cli" test "$sample" 2>/dev/null | sort -k2 >"$work/sample.actual" &&
    diff -u "$work/sample.expected" "$work/sample.actual"
}
check "installed vaskel-cli test reads the installed sample" sample_reads_back
check "installed vaskel-cli list shows the sample's index" \
  bash -c '"$1" list "$2" 2>/dev/null | grep -q "^index.html	"' _ "$usr/bin/vaskel-cli" "$sample"

# --- the Debian package ----------------------------------------------------------------------
if command -v cpack >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  if (cd "$work" && cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake") \
    >"$work/cpack.log" 2>&1; then
    deb=$(echo "$work"/package/vaskel_*.deb)
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's#^\./usr/##' | sort \
      >"$work/packaged"
    check "package holds the installed files" diff -u "$work/installed" "$work/packaged"
    dpkg-deb -f "$deb" Depends >"$work/depends"
    check "package depends on the libraries it links (wxWidgets, GLib, libc)" \
      grep -q 'libwxgtk3.2-1.*libc6\|libc6.*libwxgtk3.2-1' "$work/depends"
    check "package depends on GLib" grep -q 'libglib2.0-0' "$work/depends"
    echo "     package: $(stat -c %s "$deb") bytes; Depends: $(cat "$work/depends")"
  else
    cat "$work/cpack.log"
    echo "FAIL cpack -G DEB"
    failures=$((failures + 1))
  fi
else
  echo "skip the Debian package: cpack or dpkg-shlibdeps (dpkg-dev) is missing"
fi

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed"; exit 1; }
