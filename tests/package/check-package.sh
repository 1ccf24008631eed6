#!/usr/bin/env bash
# Makes the Debian package of a build tree, unpacks it into a scratch root and checks that each
# file lies where the freedesktop tools and man look for it, that the files agree with each other,
# and that Depends holds every package the program needs at run time.
#
# check-package.sh CPACK BUILD_DIR VERSION QT_PLUGIN_DIR QT_TRANSLATION_DIR
set -euo pipefail
cpack=$1 build=$2 version=$3 qt_plugins=$4 qt_translations=$5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
fi
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: cpack made ${#debs[@]} packages: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}
root=$work/root
dpkg -x "$deb" "$root"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# --- control fields
[ "$(dpkg-deb -f "$deb" Package)" = curvana ] || fail "Package is $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
  fail "Version is $(dpkg-deb -f "$deb" Version), the project's is $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] ||
  fail "Architecture is $(dpkg-deb -f "$deb" Architecture)"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Package names of Depends, alternatives included, without versions or architectures.
depends_names=$(tr ',|' '\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/:.*//' -e 's/[[:space:]]//g' |
  grep -v '^$' | sort -u)

# The package that owns a file of this machine (the /usr merge lets a path appear with or
# without /usr).
owner() {
  local path=$1 candidate
  for candidate in "$path" "/usr${path#/usr}" "${path#/usr}"; do
    if dpkg -S "$candidate" >"$work/owner" 2>/dev/null; then
      grep -v '^diversion' "$work/owner" | head -n 1 | sed 's/: .*//' | tr ',' '\n' |
        sed 's/^ *//; s/:.*//'
      return 0
    fi
  done
  return 1
}

needs() {
  local what=$1 path=$2 pkg found=no
  if ! owners=$(owner "$path"); then
    fail "$what: no package of this machine owns $path"
    return
  fi
  for pkg in $owners; do
    grep -qx -- "$pkg" <<<"$depends_names" && found=yes
  done
  [ $found = yes ] || fail "$what ($path, from $owners) is not in Depends"
}

# Every library the programs link, as this machine resolves it: curvana, and the window's program
# it starts.
binary=$root/usr/bin/curvana
window=$root/usr/libexec/curvana/curvana-window
for program in "$binary" "$window"; do
  name=${program#"$root"/}
  if [ ! -x "$program" ]; then
    fail "$name is missing or not executable"
    continue
  fi
  mapfile -t needed < <(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  [ ${#needed[@]} -gt 0 ] || fail "readelf finds no NEEDED library in $name"
  resolved=$(ldd "$program")
  for lib in "${needed[@]}"; do
    # "libc.so.6 => /lib/.../libc.so.6 (...)", or the loader alone: "/lib64/ld-linux...so.2 (...)"
    path=$(awk -v lib="$lib" '$1 == lib { print $3 } $1 ~ "/" lib "$" { print $1 }' <<<"$resolved")
    if [ -z "$path" ]; then
      fail "ldd does not resolve $lib for $name"
    else
      needs "library $lib of $name" "$path"
    fi
  done
done
# What Qt loads by path at run time: the platforms of --export and of the window, and its French
# texts. The labels ask for "Arial", which fontconfig maps to Liberation Sans.
needs "Qt's offscreen platform" "$qt_plugins/platforms/libqoffscreen.so"
needs "Qt's xcb platform" "$qt_plugins/platforms/libqxcb.so"
needs "Qt's French translation" "$qt_translations/qtbase_fr.qm"
grep -qx fonts-liberation <<<"$depends_names" || fail "fonts-liberation is not in Depends"

# --- the files: all under /usr, none writable by others
while read -r mode path; do
  case $path in
  ./usr/local/*) fail "$path lies under /usr/local" ;;
  ./usr/*) ;;
  *) fail "$path lies outside /usr" ;;
  esac
  case $mode in
  ?????w* | ????????w*) fail "$path is writable by group or others ($mode)" ;;
  esac
done < <(dpkg-deb -c "$deb" | awk '{ print $1, $6 }')

# --- the program itself, stripped as packaged
if [ -x "$binary" ]; then
  out=$("$binary" --version 2>&1) || fail "curvana --version failed: $out"
  [ "$out" = "Curvana version $version" ] || fail "curvana --version prints: $out"
  # The window's program, found where it is installed: without a display, it says so.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$binary" 2>&1) && fail "curvana without a display succeeded"
  grep -q "aucun affichage" <<<"$out" || fail "curvana does not start the installed window program: $out"
  if ! out=$("$binary" --export "$work/x.png" --cartesian 'x^2' 2>&1); then
    fail "curvana --export failed: $out"
  elif [ "$(head -c 8 "$work/x.png" | od -An -tx1 | tr -d ' ')" != 89504e470d0a1a0a ]; then
    fail "curvana --export did not write a PNG file"
  fi
fi

# --- menu entry
share=$root/usr/share
mapfile -t desktops < <(find "$share/applications" -name '*.desktop' 2>/dev/null)
desktop_id=
if [ ${#desktops[@]} -ne 1 ]; then
  fail "expected one file in usr/share/applications, found ${#desktops[@]}"
else
  desktop=${desktops[0]}
  desktop_id=$(basename "$desktop" .desktop)
  out=$(desktop-file-validate "$desktop" 2>&1) || true
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
  exec_program=$(key Exec | awk '{ print $1 }')
  [ -x "$root/usr/bin/$exec_program" ] || fail "Exec names $exec_program, not in usr/bin"
  icon=$(key Icon)
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    fail "Icon=$icon has no usr/share/icons/hicolor/scalable/apps/$icon.svg"
  desktop_mime=$(key MimeType)
fi

# --- document type: the MIME database built from the package alone knows *.cvn and its icon
if [ -z "$(find "$share/mime/packages" -name '*.xml' 2>/dev/null)" ]; then
  fail "no file in usr/share/mime/packages"
elif ! out=$(XDG_DATA_HOME=$share XDG_DATA_DIRS=$share update-mime-database "$share/mime" 2>&1) ||
  [ -n "$out" ]; then
  fail "update-mime-database: $out"
else
  cvn_type=$(awk -F: '$3 == "*.cvn" { print $2 }' "$share/mime/globs2")
  [ -n "$cvn_type" ] || fail "the MIME database has no type for *.cvn"
  for type in ${desktop_mime//;/ }; do
    [ "$type" = "$cvn_type" ] || fail "the desktop entry opens $type, *.cvn files are $cvn_type"
  done
  while IFS=: read -r type name; do
    [ -f "$share/icons/hicolor/scalable/mimetypes/$name.svg" ] ||
      fail "$type's icon $name has no usr/share/icons/hicolor/scalable/mimetypes/$name.svg"
  done < <(cat "$share/mime/icons" "$share/mime/generic-icons" 2>/dev/null)
fi

# --- AppStream metainfo, named by the desktop entry's id
metainfo=$share/metainfo/$desktop_id.metainfo.xml
if [ ! -f "$metainfo" ]; then
  fail "no usr/share/metainfo/$desktop_id.metainfo.xml: $(ls "$share/metainfo" 2>&1)"
else
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
  tag() { sed -n "s|.*<$1[^>]*>\(.*\)</$1>.*|\1|p" "$metainfo"; }
  [ "$(tag id)" = "$desktop_id" ] || fail "metainfo id $(tag id), desktop entry $desktop_id"
  [ "$(tag launchable)" = "$desktop_id.desktop" ] ||
    fail "metainfo launchable $(tag launchable), desktop entry $desktop_id.desktop"
  for b in $(tag binary); do
    [ -x "$root/usr/bin/$b" ] || fail "metainfo provides binary $b, not in usr/bin"
  done
  for m in $(tag mediatype); do
    grep -q ":$m:" "$share/mime/globs2" 2>/dev/null || fail "metainfo provides $m, not in the MIME database"
  done
fi

# --- manual page: compressed, clean for groff, and naming every option of --help
manual=$share/man/man1/curvana.1.gz
if [ ! -f "$manual" ]; then
  fail "no usr/share/man/man1/curvana.1.gz"
elif ! gzip -t "$manual"; then
  fail "curvana.1.gz is not a gzip file"
else
  warnings=$(zcat "$manual" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "groff: $warnings"
  # One line per paragraph and no hyphenation, so that no option is split.
  text=$(zcat "$manual" | groff -man -Tascii -P-cbou -rLL=1000n -rHY=0 2>/dev/null)
  grep -q '^NAME' <<<"$text" || fail "the manual page renders without a NAME section"
  if [ -x "$binary" ]; then
    for option in $("$binary" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
      grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$text" ||
        fail "the manual page does not document $option"
    done
  fi
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all package checks passed"
