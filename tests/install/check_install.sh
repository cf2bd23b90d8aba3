#!/usr/bin/env bash
# Installs the build in $1 into a temporary prefix and checks what a desktop needs of it.
# $2 is 1 when the Qt program was built. Exits 77 (skipped) without the desktop tools.
set -euo pipefail
build=$1
gui=$2
for tool in desktop-file-validate update-mime-database; do
    command -v "$tool" >/dev/null || { echo "$tool not installed"; exit 77; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/kalvex-fit
    share/applications/kalvex.desktop
    share/icons/hicolor/scalable/apps/kalvex.svg
    share/mime/packages/kalvex.xml
    share/kalvex/help/index.html
    share/kalvex/help/options.html
    share/kalvex/help/print-layout.html
    share/kalvex/examples/ethanol-60MHz.spc
    share/doc/kalvex/README.md
)
[[ "$gui" == 1 ]] && expected+=(bin/kalvex)
for file in "${expected[@]}"; do
    [[ -e "$prefix/$file" ]] || { echo "not installed: $file"; exit 1; }
done
[[ -x "$prefix/bin/kalvex-fit" ]] || { echo "kalvex-fit is not executable"; exit 1; }

desktop-file-validate "$prefix/share/applications/kalvex.desktop"

# The install refreshed the MIME database under the prefix: each spectrum type has its glob,
# and every type the desktop entry claims is one the database knows.
for glob in '*.spc' '*.1rd' '*.vnj' '*.vdt'; do
    grep -qF ":$glob" "$prefix/share/mime/globs2" || { echo "no MIME glob $glob"; exit 1; }
done
types=$(sed -n 's/^MimeType=//p' "$prefix/share/applications/kalvex.desktop" | tr ';' ' ')
for type in $types; do
    grep -q "^$type\$" "$prefix/share/mime/types" || { echo "unknown MIME type $type"; exit 1; }
done
echo "installed and valid"
