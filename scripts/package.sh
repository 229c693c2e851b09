#!/usr/bin/env bash
# Builds the Debian package of Skyloom from the release build (CPack, with
# the dependencies computed from the programs' shared libraries), checks
# that its file list holds nothing of the build (no build path, test,
# benchmark or fuzz target), and runs lintian on it, which must find no
# error. The package is left in build/package/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing (bash scripts/setup.sh)" >&2; exit 1; }
done

out="$PWD/build/package"
rm -rf "$out"
mkdir -p "$out"
(cd build && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
debs=("$out"/skyloom_*.deb)
deb="${debs[0]}"
[ -f "$deb" ] || { echo "package: cpack made no package" >&2; cat "$out/cpack.log"; exit 1; }

dpkg-deb --contents "$deb" | awk '{print $6}' > "$out/files.txt"
if grep -nE "$PWD|/build|test|bench|fuzz|CMake|\.o$|\.a$" "$out/files.txt"; then
  echo "package: $deb holds files of the build (above)" >&2
  exit 1
fi
for must in ./usr/bin/skyloom ./usr/bin/skyloom-show ./usr/bin/skyloom-ephem ./usr/lib/skyloom/skyloom-recorder.so \
  ./usr/share/skyloom/StarData.dat ./usr/share/applications/skyloom.desktop \
  ./usr/share/metainfo/org.skyloom.skyloom.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/skyloom.svg ./usr/share/man/man1/skyloom.1.gz \
  ./usr/share/man/zh_CN/man1/skyloom.1.gz ./usr/share/doc/skyloom/copyright; do
  grep -qxF "$must" "$out/files.txt" || { echo "package: $deb lacks $must" >&2; exit 1; }
done

echo "== $(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb --field "$deb" Package Version Architecture Section Installed-Size Depends
echo "== lintian"
lintian --fail-on error --info "$deb" | tee "$out/lintian.txt"
echo "== lintian found no error"
