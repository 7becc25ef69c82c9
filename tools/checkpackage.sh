#!/usr/bin/env bash
# Builds the Debian package of a build tree with CPack and checks it: its
# dependencies, its files, and that its programs run from the unpacked tree.
# Usage: checkpackage.sh BUILD_DIR
set -euo pipefail
build=$1
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/lumivant_*_amd64.deb)
echo "Package: $deb"

info=$(dpkg-deb --info "$deb")
for dependency in libqt5widgets5 libqt5gui5 liblcms2-2 libtiff6 libjpeg62-turbo; do
  grep -q "Depends:.*$dependency" <<<"$info" || { echo "missing dependency $dependency" >&2; exit 1; }
done

contents=$(dpkg-deb --contents "$deb")
for file in usr/bin/lumivant usr/bin/lumivant-measure \
            usr/lib/lumivant/plugins/imageformats/liblumivanttiff.so \
            usr/lib/lumivant/plugins/imageformats/liblumivantjpeg.so \
            usr/share/lumivant/Resources/DefaultCMYK.icc usr/share/lumivant/Resources/lumivant_en.qm \
            usr/share/lumivant/Resources/tolerances/iso12647-7-proof.json \
            usr/share/applications/org.veltrane.Lumivant.desktop \
            usr/share/metainfo/org.veltrane.Lumivant.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/org.veltrane.Lumivant.svg \
            usr/share/icons/hicolor/48x48/apps/org.veltrane.Lumivant.png \
            usr/share/man/man1/lumivant.1; do
  grep -q " \./$file\$" <<<"$contents" || { echo "missing $file" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/lumivant" --version
"$root/usr/bin/lumivant-measure" --version
echo "The package is sound."
