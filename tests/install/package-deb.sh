#!/usr/bin/env bash
# Builds the Debian package from the build with CPack and checks it: its name, that its
# run-time dependencies name the libraries the programs link, that it holds the
# programs, the engine with its SONAME, the SDK, the manual and the desktop files, and
# that lintian finds no error in it (its warnings are printed).
# Usage: package-deb.sh BUILD_DIR VERSION
set -euo pipefail
build="$(realpath "$1")"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

command -v lintian >/dev/null || { echo "lintian is not installed (bash tools/setup.sh installs it)"; exit 1; }
( cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1 ) || { cat "$work/cpack.log"; exit 1; }
deb="$work/quarvel_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$work"; echo "no $deb"; exit 1; }

echo "== dependencies"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "$depends"
names="$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")"
for package in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libfreetype6 libhwy1 fonts-dejavu-core; do
    grep -q -x -F "$package" <<<"$names" || fail "Depends lacks $package"
done
# The media module's FFmpeg libraries, whose package names carry their SONAME versions
# (the filters behind the virtual test camera come with libavdevice).
for library in libavformat libavcodec libavutil libswscale libavdevice; do
    grep -q -x -E "${library}[0-9]+" <<<"$names" || fail "Depends lacks $library"
done

echo "== contents"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
for path in /usr/bin/quarvel /usr/bin/quarvel-ide /usr/bin/qvregsvr /usr/bin/qvscripthost \
            /usr/lib/libquarvel.so.3 /usr/lib/libquarvel.so.$version /usr/lib/libquarvel.so \
            /usr/lib/quarvel/QuarvelEngine.so /usr/lib/quarvel/quarvel-media.so \
            /usr/include/quarvel/Plugins/QvPluginInterface.h \
            /usr/lib/cmake/Quarvel/QuarvelConfig.cmake /usr/lib/pkgconfig/quarvel.pc \
            /usr/share/applications/quarvel-ide.desktop /usr/share/mime/packages/quarvel.xml \
            /usr/share/man/man1/quarvel.1.gz /usr/share/doc/quarvel/copyright /usr/share/doc/quarvel/changelog.gz \
            /usr/share/doc/quarvel/index.md; do
    grep -q -x "$path" "$work/contents" || fail "the package lacks $path"
done
grep -q '^Libs: -L${libdir} -lquarvel' <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/pkgconfig/quarvel.pc) ||
    fail "quarvel.pc"
grep -q '^prefix=/usr$' <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/pkgconfig/quarvel.pc) ||
    fail "quarvel.pc names another prefix than /usr"

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || fail "lintian reports errors"
cat "$work/lintian.log"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "the package is sound: $(basename "$deb")"
