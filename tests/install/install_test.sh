#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree: exactly the
# files of a desktop application, the desktop entry, file type, metadata and
# manuals valid and consistent with each other (validators where installed),
# and the installed programs finding each other from another working folder.
#   install_test.sh BUILD SOURCE LIBDIR VERSION MAN_SUFFIX
set -euo pipefail
build=$1 source=$2 libdir=$3 version=$4 man_suffix=${5:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() {
  echo "install_test: $*" >&2
  exit 1
}
have() { command -v "$1" >/dev/null 2>&1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
id=io.github.tamrisk.Tamrisk
type=application/x-tamrisk-project
mime_icon=${type/\//-}
icons=share/icons/hicolor
expected=(bin/Tamrisk bin/vessik "$libdir/vessik/libvessik_gui.so"
  "share/applications/$id.desktop" "share/mime/packages/$id.xml"
  "share/metainfo/$id.metainfo.xml" "share/man/man1/Tamrisk.1$man_suffix"
  "share/man/man1/vessik.1$man_suffix" "$icons/scalable/apps/$id.svg"
  "$icons/scalable/mimetypes/$mime_icon.svg")
sizes=(16 22 24 32 48 64 128 256)
for n in "${sizes[@]}"; do
  expected+=("$icons/${n}x$n/apps/$id.png" "$icons/${n}x$n/mimetypes/$mime_icon.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the list (< expected, > installed)"
{ [ -x "$prefix/bin/Tamrisk" ] && [ -x "$prefix/bin/vessik" ]; } || fail "a program is not executable"

# Each PNG is as large as its folder says (IHDR width and height).
for n in "${sizes[@]}"; do
  for png in "$prefix/$icons/${n}x$n"/*/*.png; do
    read -r -a wh <<<"$(od -An -tu1 -j16 -N8 "$png")"
    { [ $((wh[2] * 256 + wh[3])) = "$n" ] && [ $((wh[6] * 256 + wh[7])) = "$n" ]; } ||
      fail "$png is not $n x $n"
  done
done

# The desktop entry, the file type and the metadata name the same type, and
# the entry's icon is the one installed.
desktop=$prefix/share/applications/$id.desktop
grep -qx "MimeType=$type;" "$desktop" || fail "the desktop entry lacks MimeType=$type;"
grep -qx "Exec=Tamrisk %f" "$desktop" || fail "the desktop entry does not run Tamrisk %f"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -q "<mime-type type=\"$type\">" "$prefix/share/mime/packages/$id.xml" || fail "no $type in the MIME package"
metainfo=$prefix/share/metainfo/$id.metainfo.xml
grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "the metadata does not provide $type"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"
if have desktop-file-validate; then
  { out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; } || fail "desktop-file-validate: $out"
fi
if have appstreamcli; then
  appstreamcli validate --no-net "$metainfo" >"$work/as.txt" 2>&1 || fail "$(cat "$work/as.txt")"
fi
if have update-mime-database; then
  cp -r "$prefix/share/mime" "$work/mime"
  update-mime-database "$work/mime"
  grep -q "^50:$type:\*\.pst$" "$work/mime/globs2" || fail "*.pst is not $type in the MIME database"
fi

# The manuals render without a warning, have every placeholder filled and
# describe every option that the programs' --help names.
for program in Tamrisk vessik; do
  page=$prefix/share/man/man1/$program.1$man_suffix
  if have man; then
    MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$work/man.txt"
    [ ! -s "$work/man.txt" ] || fail "man $program: $(cat "$work/man.txt")"
  fi
  text=$(if [ -n "$man_suffix" ]; then gzip -dc "$page"; else cat "$page"; fi)
  ! grep -q '@[A-Z_]*@' <<<"$text" || fail "$program.1 has a placeholder left"
  for option in $("$prefix/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "${option//-/\\-}" <<<"$text" || fail "$program.1 does not describe $option"
  done
  [ "$("$prefix/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
done

# The installed editor exports from elsewhere through the installed compiler.
mkdir "$work/elsewhere"
cd "$work/elsewhere"
"$prefix/bin/Tamrisk" --export "$source/examples/walker/walker.pst" --output-dir "$work/out" \
  >"$work/export.txt" 2>&1 || fail "the export failed: $(cat "$work/export.txt")"
[ "$(head -c 8 "$work/out/walker.mng" | od -An -tx1 | tr -d ' ')" = 8a4d4e470d0a1a0a ] ||
  fail "walker.mng is no MNG"
[ "$(find "$work/out" -name 'walker[0-9][0-9].png' | wc -l)" = 16 ] || fail "not 16 frames"
if have pngcheck; then
  pngcheck -q "$work/out/walker.mng" || fail "pngcheck walker.mng"
fi

# The installed vessik loads its --gui plugin from the private folder.
QT_QPA_PLATFORM=offscreen LD_DEBUG=files "$prefix/bin/vessik" --gui -q -y \
  "$work/out/walker_mng.txt" 2>"$work/gui.txt" || fail "vessik --gui: $(cat "$work/gui.txt")"
grep -q "file=$prefix/bin/\.\./$libdir/vessik/libvessik_gui\.so " "$work/gui.txt" ||
  fail "vessik --gui did not load $libdir/vessik/libvessik_gui.so"
! grep -q '^vessik' "$work/gui.txt" || fail "$(grep '^vessik' "$work/gui.txt")"
cmp "$work/out/mng_qoya.mng" "$work/out/walker.mng" || fail "vessik --gui made another MNG"
