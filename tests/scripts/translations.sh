#!/usr/bin/env bash
# The catalogues and the template:
#   catalogues  every po/LANG.po present passes `msgfmt --check` (formats, plural forms,
#               header) with every text translated and none fuzzy, and is listed in LINGUAS
#   template    po/vaskel.pot is what tools/po-template makes from the sources today (the
#               creation date and the source lines aside)
#   cli         vaskel-cli in the pseudo-language marks its usage, help and messages; under
#               LANG=C, or LANGUAGE with plain C, it speaks the source English
# Environment: VASKEL_BIN (holding vaskel-cli), VASKEL_BUILD (holding locale/).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cli=${VASKEL_BIN:?}/vaskel-cli
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

shopt -s nullglob
catalogues=("$root"/po/*.po)
echo "${#catalogues[@]} catalogue(s) in po/"
for po in "${catalogues[@]}"; do
  language=$(basename "$po" .po)
  grep -qx "$language" "$root/po/LINGUAS" || fail "$language: not listed in po/LINGUAS"
  if ! statistics=$(msgfmt --check --statistics -o /dev/null "$po" 2>&1); then
    fail "$language: msgfmt --check: $statistics"
    continue
  fi
  echo "$language: $statistics"
  [[ $statistics == *fuzzy* || $statistics == *untranslated* ]] && fail "$language: $statistics"
  # Each catalogue holds every text of the template.
  missing=$(msgcmp --use-untranslated "$po" "$root/po/vaskel.pot" 2>&1) ||
    fail "$language: not every text of the template: $missing"
done

"$root/tools/po-template" --check || fail "template: po/vaskel.pot is out of date"

if [[ -f ${VASKEL_BUILD:?}/locale/qaa/LC_MESSAGES/vaskel.mo ]]; then
  usage=$(LANG=C.UTF-8 LANGUAGE=qaa "$cli" --help)
  [[ $usage == "[ûşàĝé: ṽàşķéļ-çļî"* ]] || fail "cli: --help in the pseudo-language: ${usage:0:60}"
  message=$(LANG=C.UTF-8 LANGUAGE=qaa "$cli" frobnicate 2>&1 >/dev/null | head -1)
  [[ $message == "[ṽàşķéļ-çļî: ûñķñöŵñ çöɱɱàñđ 'frobnicate'"* ]] ||
    fail "cli: an unknown command in the pseudo-language: $message"
else
  echo "SKIP cli: no pseudo-language catalogue in $VASKEL_BUILD/locale (python3 is missing)"
fi
english=$(LC_ALL= LANG=C LANGUAGE= "$cli" --help)
[[ $english == "usage: vaskel-cli COMMAND FILE.chm [options]"* ]] || fail "cli: English --help"
[[ $(LC_ALL= LANG=C LANGUAGE=qaa "$cli" --help) == "$english" ]] ||
  fail "cli: LANGUAGE changed the plain C locale's English"

((failures == 0)) || exit 1
echo "translations: all checks passed"
