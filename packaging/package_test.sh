#!/usr/bin/env bash
# Builds the Debian packages from the build tree, unpacks them into a fresh
# root with dpkg-deb -x and runs the unpacked program there in simulated
# mode, checking through the dynamic loader's own report (LD_DEBUG=libs)
# that it ran on the unpacked libraries and never on the build tree's; then
# that an instrument driver on the loader's path wins over the packaged
# stand-in. With LINTIAN=ON lintian must report no errors on the packages.
#   package_test.sh BUILD_DIR WORK_DIR LIBDIR BUILD_DRIVER LINTIAN
set -euo pipefail
build=$1 work=$2 libdir=$3 build_driver=$4 lintian=$5

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/packages" "$work/root" "$work/run"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/packages" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }

version=$(dpkg-deb -f "$work/packages"/libzrdsp1_*.deb Version)
for p in libzrdsp1 libzrdsp-dev zrq7010; do
  deb=$(ls "$work/packages/${p}_"*.deb) || fail "no package $p"
  echo "$p: $(du -k "$deb" | cut -f1) KiB, Depends: $(dpkg-deb -f "$deb" Depends)"
  dpkg-deb -x "$deb" "$work/root"
done
# The runtime library's dependencies come from dpkg-shlibdeps; the program's
# also name the library it loads by soname, at this very version.
dpkg-deb -f "$work/packages"/libzrdsp1_*.deb Depends | grep -q 'libc6 (>=' ||
  fail "libzrdsp1 lacks the computed libc6 dependency"
depends=$(dpkg-deb -f "$work/packages"/zrq7010_*.deb Depends)
[[ $depends == *"libzrdsp1 (= $version)"* && $depends == *libqt6widgets6* ]] ||
  fail "zrq7010 depends on: $depends"

root=$work/root
for f in usr/bin/zrq7010 "usr/$libdir/libzrdsp_32.so.1" "usr/$libdir/zrq7010/libzrq7010_32.so" \
         usr/share/zrq7010/zrq7010-help.html usr/share/applications/zrq7010.desktop \
         usr/share/icons/hicolor/scalable/apps/zrq7010.svg usr/include/zrdsp_32.h \
         usr/include/zrdsp_32_version.h "usr/$libdir/pkgconfig/zrdsp_32.pc" \
         "usr/$libdir/cmake/zrdsp_32/zrdsp_32Config.cmake" "usr/$libdir/libzrdsp_32.so"; do
  [ -e "$root/$f" ] || fail "not in the packages: /$f"
done
if readelf -d "$root/usr/bin/zrq7010" | grep -Eq 'RPATH|RUNPATH'; then
  fail "the packaged program carries a library path: $(readelf -d "$root/usr/bin/zrq7010" | grep -E 'RPATH|RUNPATH')"
fi

# Runs the unpacked program; the loader's report of every library it
# initialised (the dlopen'ed ones included) lands in $work/<name>.<pid>.
run() {
  local name=$1; shift
  (cd "$work/run" && env -u ZRQ7010_DRIVER -u ZRDSP_LIBRARY -u ZRQ7010_JOURNAL QT_QPA_PLATFORM=offscreen \
     LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/$name" "$@" \
     "$root/usr/bin/zrq7010" '/a"sim"' --snapshot x.png --blocks 3 > "$work/$name.out" 2>&1) ||
    { cat "$work/$name.out"; fail "$name: the unpacked program failed"; }
  cat "$work/$name".[0-9]* > "$work/$name.libs"
  grep 'calling init:' "$work/$name.libs" | sed 's/.*calling init: /  /' > "$work/$name.inits"
}
expect_init() { grep -qxF "  $2" "$work/$1.inits" || { cat "$work/$1.inits"; fail "$1: $2 not loaded"; }; }

run installed env -u LD_LIBRARY_PATH
[ -s "$work/run/x.png" ] && [ "$(head -c 4 "$work/run/x.png" | tail -c 3)" = PNG ] ||
  fail "no picture written"
grep -q "Spectrum\|Time\|Histogram" "$work/installed.out" || { cat "$work/installed.out"; fail "no read-out printed"; }
expect_init installed "$root/usr/$libdir/libzrdsp_32.so.1"
expect_init installed "$root/usr/$libdir/zrq7010/libzrq7010_32.so"
if grep -F "$build/bin/" "$work/installed.inits"; then fail "the build tree's libraries were used"; fi
echo "unpacked program ran on:"; grep -F "$root" "$work/installed.inits"

# A driver on the loader's path (here a copy of the stand-in) wins over the
# packaged stand-in in the private folder.
mkdir -p "$work/driver"
cp "$build_driver" "$work/driver/libzrq7010_32.so"
run driver env LD_LIBRARY_PATH="$work/driver"
expect_init driver "$work/driver/libzrq7010_32.so"
if grep -qF "$root/usr/$libdir/zrq7010/" "$work/driver.inits"; then
  fail "the private stand-in was loaded although a driver lies on the loader's path"
fi
echo "with a driver on the loader's path: $work/driver/libzrq7010_32.so"

if [ "$lintian" = ON ]; then
  lintian --fail-on error "$work/packages"/*.deb > "$work/lintian.log" 2>&1 || {
    cat "$work/lintian.log"; fail "lintian reports errors"; }
  echo "lintian: $(grep -c '^E:' "$work/lintian.log") errors, $(grep -c '^W:' "$work/lintian.log") warnings"
  cat "$work/lintian.log"
fi
echo "packages ok"
