#!/usr/bin/env bash
# Builds the Debian package from a configured and built folder, unpacks it into a scratch folder
# and checks it as an installed system would see it.
# Usage: package-test.sh BUILD-FOLDER VERSION
set -uo pipefail
build="$1"
version="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# The package, from this build's own programs (CPack installs them into its own staging folder).
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/cpack" > "$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
deb="$scratch/cpack/tessor_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$scratch/cpack"; echo "FAIL: no $(basename "$deb")"; exit 1; }
pass "built $(basename "$deb")"

# Control fields: dependencies computed from the programs, no maintainer scripts of its own (the
# desktop, MIME and icon triggers of the packages that own those folders do the refreshing).
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6core6 libqt6widgets6 libc6; do
    grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = tessor ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
for script in preinst postinst prerm postrm; do
    dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx "./$script" && fail "unexpected $script"
done
pass "control fields"

root="$scratch/root"
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
usr="$root/usr"
for file in \
    bin/tessor bin/tessorctl bin/kdrx-sim \
    share/tessor/TessorOpt.rcc \
    share/tessor/examples/five-channel.tsr \
    share/doc/tessor/TessorKdrx.html share/doc/tessor/TessorKdrx.pdf \
    share/man/man1/tessor.1.gz share/man/man1/tessorctl.1.gz share/man/man1/kdrx-sim.1.gz \
    share/applications/com.morvane.Tessor.desktop \
    share/metainfo/com.morvane.Tessor.metainfo.xml \
    share/mime/packages/tessor.xml; do
    [ -f "$usr/$file" ] || fail "missing /usr/$file"
done
for program in tessor tessorctl kdrx-sim; do
    [ -x "$usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done
[ -e "$usr/bin/TessorOpt.rcc" ] && fail "TessorOpt.rcc is installed beside the programs"
for size in 16 22 24 32 48 64 128 256; do
    for icon in apps/com.morvane.Tessor mimetypes/application-x-tessor; do
        [ -f "$usr/share/icons/hicolor/${size}x${size}/$icon.png" ] || fail "missing ${size}x${size}/$icon.png"
    done
done
# Every picture the HTML manual shows is installed with it.
for picture in $(grep -o 'src="images/[^"]*"' "$usr/share/doc/tessor/TessorKdrx.html" | sed 's/src="//; s/"$//'); do
    [ -f "$usr/share/doc/tessor/$picture" ] || fail "the manual's $picture is not installed"
done
for page in tessor tessorctl kdrx-sim; do
    zcat "$usr/share/man/man1/$page.1.gz" | grep -q '^\.TH' || fail "$page.1.gz is not a manual page"
done
pass "layout"

# The PDF manual is a real document with the manual's text in it.
if command -v pdftotext > /dev/null; then
    pdftotext "$usr/share/doc/tessor/TessorKdrx.pdf" "$scratch/manual.txt" || fail "pdftotext"
    grep -q "Getting started on the built-in simulator" "$scratch/manual.txt" || fail "the PDF lacks the manual's text"
    pages="$(pdfinfo "$usr/share/doc/tessor/TessorKdrx.pdf" | awk '/^Pages:/ {print $2}')"
    [ "${pages:-0}" -ge 10 ] || fail "the PDF has ${pages:-no} pages"
    pass "PDF manual, $pages pages"
fi

# tessorctl runs from the unpacked tree and takes its resource module from share/tessor.
export XDG_CONFIG_HOME="$scratch/config"
if ! "$usr/bin/tessorctl" show "$usr/share/tessor/examples/five-channel.tsr" > "$scratch/show.txt" 2>&1; then
    cat "$scratch/show.txt"
    fail "tessorctl show from the unpacked tree"
fi
grep -qi "channel" "$scratch/show.txt" || fail "tessorctl show printed no channel"
mv "$usr/share/tessor/TessorOpt.rcc" "$scratch/TessorOpt.rcc"
output="$("$usr/bin/tessorctl" show "$usr/share/tessor/examples/five-channel.tsr" 2>&1)"
status=$?
[ $status -eq 1 ] && grep -q "Module Error" <<< "$output" || fail "without share/tessor/TessorOpt.rcc: status $status, $output"
mv "$scratch/TessorOpt.rcc" "$usr/share/tessor/TessorOpt.rcc"
pass "tessorctl show from the unpacked tree"

# The desktop's validators on the installed files.
desktop="$usr/share/applications/com.morvane.Tessor.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/com.morvane.Tessor.metainfo.xml" || fail "appstreamcli validate"
grep -qx 'Exec=tessor %f' "$desktop" || fail "Exec line"
grep -qx 'MimeType=application/x-tessor;' "$desktop" || fail "MimeType line"
icon="$(sed -n 's/^Icon=//p' "$desktop")"
[ -f "$usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no icon for Icon=$icon"
pass "desktop entry and metainfo"

# A .tsr file under the unpacked tree's MIME database is a Tessor document; without that database
# it is plain text, so the answer comes from the package's type.
update-mime-database "$usr/share/mime" > "$scratch/mime.log" 2>&1 || { cat "$scratch/mime.log"; fail "update-mime-database"; }
mkdir -p "$scratch/empty-data"
query() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u KDE_FULL_SESSION -u GNOME_DESKTOP_SESSION_ID \
        XDG_CURRENT_DESKTOP=X-Generic XDG_DATA_HOME="$scratch/empty-data" XDG_DATA_DIRS="$1" \
        xdg-mime query filetype "$usr/share/tessor/examples/five-channel.tsr"
}
type="$(query "$usr/share:/usr/share")"
[ "$type" = application/x-tessor ] || fail "xdg-mime query filetype answered '$type'"
plain="$(query /usr/share)"
[ "$plain" != application/x-tessor ] || fail "the system's own database already knows .tsr"
grep -q '<comment>Tessor Document</comment>' "$usr/share/mime/packages/tessor.xml" || fail "MIME comment"
grep -q '<sub-class-of type="text/plain"/>' "$usr/share/mime/packages/tessor.xml" || fail "MIME sub-class"
pass "MIME type: $type (without the package: $plain)"

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package checks passed"
