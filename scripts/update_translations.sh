#!/usr/bin/env bash
# Brings the translations up to date with the editor's texts: adds the texts
# that are new (to be translated in Qt Linguist or by hand), drops those that
# are gone. The build compiles the .ts files; the test translations.complete
# checks that they are up to date and that every text has its translation.
#   scripts/update_translations.sh [LUPDATE [FOLDER]]
# FOLDER holds the .ts files to update, translations/ by default.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${1:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
folder=${2:-translations}
for ts in "$folder"/*.ts; do
  "$lupdate" -silent -no-obsolete -locations none -source-language ja_JP \
    -target-language "$(basename "$ts" .ts | sed 's/^tamrisk_//')" editor -ts "$ts"
done
