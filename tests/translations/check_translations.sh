#!/usr/bin/env bash
# Checks that the committed translations match the editor's texts: updating
# a copy of them from the sources changes nothing (no text is new, none is
# gone), and no text is left without its translation.
#   check_translations.sh SOURCE_DIR LUPDATE
set -euo pipefail
source_dir=$1
lupdate=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir"/translations/*.ts "$work"/
"$source_dir"/scripts/update_translations.sh "$lupdate" "$work"
status=0
for ts in "$source_dir"/translations/*.ts; do
  name=$(basename "$ts")
  if ! diff -u "$ts" "$work/$name"; then
    echo "$name is not up to date with the sources: run scripts/update_translations.sh" >&2
    status=1
  fi
  if grep -n 'type="unfinished"' "$work/$name"; then
    echo "$name: the texts above have no translation yet" >&2
    status=1
  fi
done
exit $status
