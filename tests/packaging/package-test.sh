#!/usr/bin/env bash
# The Debian package as a user gets it: built by cpack from a finished build, checked by lintian,
# unpacked into a scratch root and run from there, with the desktop entry and the AppStream
# metadata checked by their own validators. A plain `cmake --install` into a prefix is checked
# the same way. Usage: package-test.sh SOURCE_DIR BINARY_DIR
set -uo pipefail

source_dir="$1"
binary_dir="$2"
app_id=io.github.pressling.Pressling
icon_sizes=(16 22 24 32 48 64 128 256)

# Tests run side by side under ctest: everything this one writes stays in a folder of its own.
scratch="$(mktemp -d "${TMPDIR:-/tmp}/pressling-package-test.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
# Runs a command, failing the test with its output when it does not succeed.
must() {
  local output
  if ! output="$("$@" 2>&1)"; then
    fail "$* ($output)"
    return 1
  fi
}

# The width and height of a PNG from its header, read byte for byte: "WIDTH HEIGHT".
png_size() {
  local bytes
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 1
  read -r -a bytes < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3])) $(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}

# What a user's system needs of an installed tree under ROOT (/usr or a prefix): both programs,
# with no run path of the build but the one into LibreOffice's program folder; the menu entry and the metadata, valid and
# naming each other and the icon by one id; the icon as SVG and at every fixed size.
check_tree() {
  local root="$1" where="$2"
  for program in pressling pressling-cli; do
    if [ ! -x "$root/bin/$program" ]; then
      fail "$where: bin/$program is missing"
      continue
    fi
    local run_paths
    run_paths="$(readelf -d "$root/bin/$program" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')"
    [ "$run_paths" = "$office_program" ] \
      || fail "$where: bin/$program runs with the library path '$run_paths', not '$office_program' alone"
  done
  local desktop="$root/share/applications/$app_id.desktop"
  local metainfo="$root/share/metainfo/$app_id.metainfo.xml"
  if [ -f "$desktop" ]; then
    must desktop-file-validate "$desktop" || true
    grep -qx "Icon=$app_id" "$desktop" || fail "$where: the desktop entry names another icon"
    grep -qx 'Exec=pressling %f' "$desktop" || fail "$where: the desktop entry starts another program"
    grep -Eq '^Categories=(.*;)?Office;' "$desktop" || fail "$where: the desktop entry is not under Office"
  else
    fail "$where: no desktop entry"
  fi
  if [ -f "$metainfo" ]; then
    must appstreamcli validate --no-net "$metainfo" || true
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
      || fail "$where: the metadata launches another desktop entry"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "$where: the metadata names no release $version"
  else
    fail "$where: no AppStream metadata"
  fi
  [ -f "$root/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "$where: no scalable icon"
  for size in "${icon_sizes[@]}"; do
    local png="$root/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    if [ ! -f "$png" ]; then
      fail "$where: no ${size}x${size} icon"
    elif [ "$(png_size "$png")" != "$size $size" ]; then
      fail "$where: the ${size}x${size} icon is a PNG of $(png_size "$png" || echo 'no size')"
    fi
  done
  [ "$(png_size "$root/share/pressling/screenshots/main-window.png")" = "960 540" ] \
    || fail "$where: the screenshot is missing or not the one the metadata describes"
}

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$binary_dir/CMakeCache.txt")"
[ -n "$version" ] || { echo "no project version in $binary_dir/CMakeCache.txt" >&2; exit 1; }
office_program="$(sed -n 's/^LIBREOFFICE_PROGRAM:PATH=//p' "$binary_dir/CMakeCache.txt")"

# The package.
if ! cpack -G DEB --config "$binary_dir/CPackConfig.cmake" -B "$scratch/cpack" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  echo "FAILED: cpack could not build the package" >&2
  exit 1
fi
deb="$scratch/cpack/pressling_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
  ls "$scratch/cpack" >&2
  echo "FAILED: no pressling_${version}_amd64.deb" >&2
  exit 1
fi

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends="$(dpkg-deb -f "$deb" Depends)"
# The office suite by hand, the libraries by dpkg-shlibdeps.
for package in libreoffice-writer libreoffice-calc libreoffice-impress ure libqt6core6 libuno-cppu3; do
  grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "the package does not depend on $package: $depends"
done

lintian_output="$(lintian --tag-display-limit 0 "$deb" 2>&1)"
echo "$lintian_output"
if grep -q '^E: ' <<<"$lintian_output"; then
  fail "lintian reports errors"
fi
# Warnings are allowed, but not these, which the package is built to avoid.
for tag in unstripped-binary-or-object no-copyright-file \
  changelog-file-not-compressed debian-changelog-file-missing extended-description-line-too-long \
  unused-override mismatched-override; do
  grep -q " $tag" <<<"$lintian_output" && fail "lintian reports $tag"
done

root="$scratch/root"
must dpkg -x "$deb" "$root" || exit 1
check_tree "$root/usr" "package"
# Stripped for the package (a build type with debugging information leaves ten times the size).
for program in pressling pressling-cli; do
  if readelf -S "$root/usr/bin/$program" | grep -q '\.debug_info'; then
    fail "package: bin/$program is not stripped"
  fi
done
[ -f "$root/usr/share/doc/pressling/copyright" ] || fail "package: no copyright file"
changelog="$root/usr/share/doc/pressling/changelog.gz"
if ! gzip -t "$changelog" 2>/dev/null; then
  fail "package: no compressed changelog"
elif ! gzip -dc "$changelog" | head -1 | grep -q "^pressling ($version) "; then
  fail "package: the changelog's last entry is not version $version"
fi

# The installed programs run on the system's libraries alone.
cli="$root/usr/bin/pressling-cli"
unset LD_LIBRARY_PATH
help="$("$cli" --help 2>&1)" || fail "pressling-cli --help exits with $? ($help)"
grep -q '^Usage: pressling-cli COMMAND' <<<"$help" || fail "pressling-cli --help prints no usage: $help"

corpus="$source_dir/../shared/corpus/documents/word"
document="$scratch/documents/Quarterly report.docx"
mkdir -p "$scratch/documents" "$scratch/home" "$scratch/registry"
cp "$corpus/tbl-2x2-table.docx" "$document" || exit 1
publish="$(cd "$scratch" && HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" \
  PRESSLING_REGISTRY_DIR="$scratch/registry" "$cli" publish --format pdf "$document" 2>"$scratch/publish.err")"
status=$?
[ "$status" -eq 0 ] || fail "pressling-cli publish exits with $status: $publish $(cat "$scratch/publish.err")"
grep -qxF "OK	$document" <<<"$publish" || fail "no OK row for the document: $publish"
grep -qxF 'Publishing Result: Total=1   Scucceeded=1   Failed=0' <<<"$publish" \
  || fail "no summary of one published document: $publish"
[ "$(head -c 5 "$document.pdf" 2>/dev/null)" = "%PDF-" ] || fail "no PDF beside the document"
cmp -s "$document" "$corpus/tbl-2x2-table.docx" || fail "the published document was changed"

# The same tree from `cmake --install` into a prefix of the user's choice.
must cmake --install "$binary_dir" --prefix "$scratch/prefix" || true
check_tree "$scratch/prefix" "cmake --install"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "The package and the installed tree are complete."
