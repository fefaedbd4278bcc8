#!/usr/bin/env bash
# Makes the really compressed benchmark files with chmcmd, once: FOLDER/pages.chm (20,000 small
# pages in nested folders, some names non-ASCII, listed in the project in shuffled order) and
# FOLDER/streams.chm (two 50 MB streams of text and two of random bytes, about 200 MB).
# Usage: bench/chmcmd_inputs.sh FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=${1:?usage: chmcmd_inputs.sh FOLDER}
mkdir -p "$folder"
make_one() {  # make_one NAME KIND AMOUNT
  [[ -f "$folder/$1.chm" ]] && return 0
  echo "making $folder/$1.chm with chmcmd (once)" >&2
  rm -rf "${folder:?}/$1"
  python3 "$here/../tools/chmcmd_tree.py" "$2" "$3" "$folder/$1"
  (cd "$folder/$1" && chmcmd project.hhp >/dev/null)
  rm -rf "${folder:?}/$1"
}
make_one pages pages 20000
make_one streams streams 50
