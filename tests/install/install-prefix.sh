#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it from there only, as a user or a
# plug-in author would: the programs run scripts with pictures (one alone, and a batch
# of them through the installed example) and find the engine library of the prefix,
# every public header compiles on its own, the sample plug-in module builds against the
# installed SDK with find_package(Quarvel) and loads with --plugins, pkg-config gives
# the flags the embedding page's host builds with, and the script-host module registers
# and runs a script through the installed tools and through the script-host page's
# host, built with the CMake package.
# Usage: install-prefix.sh BUILD_DIR
set -euo pipefail
build="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_equal() {  # what, expected, actual
    [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
unset LD_LIBRARY_PATH QUARVEL_PLUGIN_PATH QUARVEL_MEDIA_MODULE
cd "$work"

echo "== layout"
for path in bin/quarvel bin/quarvel-ide bin/qvregsvr bin/qvscripthost lib/quarvel/QuarvelEngine.so lib/libquarvel_com.a \
            lib/quarvel/quarvel-media.so \
            include/quarvel/Plugins/QvPluginInterface.h include/quarvel/Session/QvParserApi.h \
            lib/cmake/Quarvel/QuarvelConfig.cmake lib/cmake/Quarvel/QuarvelTargets.cmake \
            lib/pkgconfig/quarvel.pc share/applications/quarvel-ide.desktop share/mime/packages/quarvel.xml \
            share/icons/hicolor/scalable/apps/quarvel.svg share/man/man1/quarvel.1.gz \
            share/doc/quarvel/index.md share/doc/quarvel/functions.md share/doc/quarvel/examples/demo.qv \
            share/doc/quarvel/examples/plugins/textTools/TextTools.cpp; do
    [ -e "$prefix/$path" ] || fail "$path is not installed"
done
[ -d "$prefix/lib/quarvel/plugins" ] || fail "lib/quarvel/plugins is not installed"
expect_equal "engine library link" libquarvel.so.3 "$(readlink "$prefix/lib/libquarvel.so")"
expect_equal "engine SONAME" "libquarvel.so.3" \
    "$(readelf -d "$prefix/lib/libquarvel.so.3" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')"
for program in bin/quarvel bin/quarvel-ide lib/quarvel/QuarvelEngine.so; do
    expect_equal "$program finds the engine in the prefix" "$prefix/lib/libquarvel.so.3" \
        "$(realpath -m -s "$(ldd "$prefix/$program" | sed -n 's/.*libquarvel\.so\.3 => \([^ ]*\).*/\1/p')")"
    ! ldd "$prefix/$program" | grep -q 'not found' || fail "$program misses a library"
done
! ldd "$prefix/lib/quarvel/quarvel-media.so" | grep -q 'not found' || fail "the media module misses a library"
# FFmpeg is the media module's alone: the engine loads it only when a script uses media.
! ldd "$prefix/lib/libquarvel.so.3" | grep -q 'libav' || fail "the engine library links FFmpeg"
if ls "$prefix/include/quarvel" -R | grep -q -E '\.(cpp|g)$'; then fail "sources among the headers"; fi

echo "== a script with pictures, from the prefix"
# Reading a picture file takes the installed engine's media module.
expect_equal "a picture file of the prefix" "$(printf 'Syntax Check Complete : No Errors found.\n320 by 240')" \
    "$(echo "set p to file \"$prefix/share/doc/quarvel/examples/photo.jpg\"; print \"\" + width of p + \" by \" + height of p;" |
       "$prefix/bin/quarvel" --sync - 2>&1)"
cp -r "$prefix/share/doc/quarvel/examples" scripts
( cd scripts && "$prefix/bin/quarvel" --sync pictures.qv ) >pictures.log || fail "pictures.qv: $(cat pictures.log)"
for picture in photo-grey.png photo-blur.png photo-difference.png photo-label.png; do
    [ -s "scripts/$picture" ] || fail "pictures.qv did not write $picture"
done

echo "== a batch over pictures, with the installed example script"
mkdir batch-inputs
cp scripts/photo.jpg batch-inputs/one.jpg && cp scripts/photo.jpg batch-inputs/two.jpg
"$prefix/bin/quarvel" batch "$prefix/share/doc/quarvel/examples/batch-grey.qv" --inputs 'batch-inputs/*.jpg' \
    --output 'batch-results/{stem}-grey.png' --jobs 2 --report batch.json >batch.log 2>&1 ||
    fail "quarvel batch: $(cat batch.log)"
for picture in one-grey.png two-grey.png; do
    [ -s "batch-results/$picture" ] || fail "the batch did not write $picture"
done

echo "== every public header compiles on its own"
find "$prefix/include/quarvel" -name '*.h' | sort | while read -r header; do
    echo "#include \"${header#"$prefix/include/quarvel/"}\"" >one-header.cpp
    g++ -std=c++17 -Wall -Wextra -fsyntax-only -I "$prefix/include/quarvel" one-header.cpp ||
        echo "$header" >>headers-failed
done
[ ! -e headers-failed ] || fail "headers that do not compile alone: $(cat headers-failed)"

echo "== the sample plug-in module, built against the installed SDK"
cmake -S "$prefix/share/doc/quarvel/examples/plugins/textTools" -B plugin -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >plugin.log 2>&1 && cmake --build plugin >>plugin.log 2>&1 ||
    { cat plugin.log; fail "the sample module does not build"; }
expect_equal "package found" "$prefix/lib/cmake/Quarvel" "$(sed -n 's/^Quarvel_DIR:PATH=//p' plugin/CMakeCache.txt)"
cat >uses-plugin.qv <<'QV'
print TextTools.Pad(7, 3);
print TextTools.Count("banana", part -> "an");
QV
checked="Syntax Check Complete : No Errors found."
expect_equal "module loaded with --plugins" "$(printf '%s\n007\n2' "$checked")" \
    "$("$prefix/bin/quarvel" --sync --plugins plugin uses-plugin.qv 2>&1)"
"$prefix/bin/quarvel" --plugins plugin --functions | grep -q -x 'TextTools.Swap(text& first, text& second) returns none' ||
    fail "--functions does not list the module's functions"
mkdir -p "$prefix/lib/quarvel/plugins" && cp plugin/TextTools.qvp "$prefix/lib/quarvel/plugins/"
expect_equal "module loaded from lib/quarvel/plugins" "$(printf '%s\n007' "$checked")" \
    "$(echo 'print TextTools.Pad(7, 3);' | "$prefix/bin/quarvel" --sync - 2>&1)"
rm "$prefix/lib/quarvel/plugins/TextTools.qvp"

echo "== pkg-config, and the manual's small host built with its flags"
flags="$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs quarvel | sed 's/ *$//')"
expect_equal "pkg-config --cflags --libs quarvel" "-I$prefix/include/quarvel -L$prefix/lib -lquarvel" "$flags"
# The small host of the installed manual's embedding page, built as that page says.
awk '/^```cpp$/ { code = 1; next } /^```$/ { code = 0 } code' "$prefix/share/doc/quarvel/embedding.md" >host.cpp
# shellcheck disable=SC2086
g++ -std=c++17 host.cpp -o host $flags -Wl,-rpath,"$prefix/lib" || fail "the small host does not build"
expect_equal "small host" "42" "$(./host 'set x to 6; print x * 7;' 2>&1)"

echo "== the script-host module, registered and run by the installed tools"
export QV_COM_REGISTRY="$work/com-registry"
"$prefix/bin/qvregsvr" "$prefix/lib/quarvel/QuarvelEngine.so" >/dev/null || fail "qvregsvr"
echo 'set x to 1;' >hosted.qv
"$prefix/bin/qvscripthost" hosted.qv >hosted.log || fail "qvscripthost: $(cat hosted.log)"
# The small host of the installed script-host page, built with the CMake package.
mkdir minimal-host
awk '/^```cpp$/ { code = 1; next } /^```$/ { code = 0 } code' "$prefix/share/doc/quarvel/scripthost.md" \
    >minimal-host/minimal_host.cpp
cat >minimal-host/CMakeLists.txt <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(MinimalHost LANGUAGES CXX)
CMAKE
awk '/^```cmake$/ { code = 1; next } /^```$/ { code = 0 } code' "$prefix/share/doc/quarvel/scripthost.md" \
    >>minimal-host/CMakeLists.txt
cmake -S minimal-host -B minimal-host/build -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
    >minimal-host.log 2>&1 && cmake --build minimal-host/build >>minimal-host.log 2>&1 ||
    { cat minimal-host.log; fail "the script-host page's host does not build"; }
minimal-host/build/minimal_host hosted.qv >minimal-host.log 2>&1 || fail "minimal_host: $(cat minimal-host.log)"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "the installed prefix works"
