# Sourced by tools/test-windows, tools/screenshot and the benchmarks: a throw-away Wine
# installation (WINEPREFIX) for one run, that touches nothing of the machine's desktop.
# start_wine_session makes it; stop_wine_session ends its processes and removes it.
start_wine_session() {
  VASKEL_WINE_SCRATCH=$(mktemp -d)
  # mscoree, mshtml: no offer to download Mono or Gecko. winemenubuilder: no menu entries or
  # file types of the Windows programs copied into the machine's own desktop.
  export WINEPREFIX="$VASKEL_WINE_SCRATCH/wine" WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
}

stop_wine_session() {
  wineserver -k 2>/dev/null || true
  rm -rf "${VASKEL_WINE_SCRATCH:-/nonexistent}"
}

# Registers the recorder (tools/windows/open_recorder.cpp) as the program of the types and
# addresses the window opens, and exports VASKEL_OPEN_RECORD, the file it appends to.
use_open_recorder() {
  local recorder=$1
  [[ -f "$recorder" ]] || return 0
  local record="$VASKEL_WINE_SCRATCH/opened.txt"
  : >"$record"
  export VASKEL_OPEN_RECORD
  VASKEL_OPEN_RECORD=$(winepath -w "$record" 2>/dev/null)
  local program command
  program=$(winepath -w "$recorder" 2>/dev/null)
  # REGEDIT4 text: backslashes and quotes escaped.
  command="\\\"${program//\\/\\\\}\\\" \\\"%1\\\""
  {
    printf 'REGEDIT4\n\n'
    printf '[HKEY_CLASSES_ROOT\\VaskelTestOpen\\shell\\open\\command]\n@="%s"\n\n' "$command"
    local type
    for type in .htm .html .txt .css .js .gif .png .jpg .jpeg .bmp .ico .xml .hhc .hhk .chm; do
      printf '[HKEY_CLASSES_ROOT\\%s]\n@="VaskelTestOpen"\n\n' "$type"
    done
    for type in http https mailto; do
      printf '[HKEY_CLASSES_ROOT\\%s]\n"URL Protocol"=""\n\n' "$type"
      printf '[HKEY_CLASSES_ROOT\\%s\\shell\\open\\command]\n@="%s"\n\n' "$type" "$command"
    done
  } >"$VASKEL_WINE_SCRATCH/open.reg"
  wine regedit /S "$(winepath -w "$VASKEL_WINE_SCRATCH/open.reg")" >/dev/null 2>&1
}
