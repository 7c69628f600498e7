#!/usr/bin/env bash
# Tests of scripts/check-packages.
#   package-check-test.sh rules CHECK         stand-in dpkg, apt-cache and ldd on PATH
#   package-check-test.sh build CHECK BUILD   the real tools against a real build
set -uo pipefail
mode="$1"
check="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME STATUS PATTERN LIST [BUILD...]: runs the check with LIST (white-space separated) and
# expects its exit status and a line of its output matching PATTERN.
expect() {
    local name="$1" status="$2" pattern="$3" list="$4"
    shift 4
    printf '%s\n' $list >"$work/list"
    local output actual
    output="$("$check" --packages "$work/list" "$@" 2>&1)"
    actual=$?
    if [ "$actual" -ne "$status" ] || ! grep -qE -- "$pattern" <<<"$output"; then
        echo "FAILED: $name: status $actual (expected $status), output:"
        echo "$output"
        echo "(expected a line matching: $pattern)"
        failures=$((failures + 1))
    fi
}

if [ "$mode" = rules ]; then
    # A build that uses the package folder of libfoo-dev and a program that links libbar.so.1
    # (reached as /lib/..., shipped as /usr/lib/...) and libbaz.so.2, which no package ships.
    mkdir -p "$work/tools" "$work/build/bin" "$work/cmake/Foo"
    touch "$work/cmake/Foo/FooConfig.cmake"
    cat >"$work/build/CMakeCache.txt" <<CACHE
Foo_DIR:PATH=$work/cmake/Foo
Foo_INCLUDE_DIR:PATH=/usr/include
Missing_DIR:PATH=Missing_DIR-NOTFOUND
CACHE
    printf '#!/bin/sh\n' >"$work/build/bin/program"
    printf '#!/bin/sh\n' >"$work/build/bin/unowned"
    chmod +x "$work/build/bin/program" "$work/build/bin/unowned"
    cat >"$work/tools/ldd" <<'TOOL'
#!/bin/sh
echo "	linux-vdso.so.1 (0x00007ffc)"
case "$1" in
*/program) echo "	libbar.so.1 => /lib/x86_64-linux-gnu/libbar.so.1 (0x00007f00)" ;;
*/unowned) echo "	libbaz.so.2 => /opt/hand-built/libbaz.so.2 (0x00007f00)" ;;
esac
TOOL
    cat >"$work/tools/dpkg" <<TOOL
#!/bin/sh
[ "\$1" = -S ] || exit 2
shift
status=0
for path in "\$@"; do
    case "\$path" in
    $work/cmake/Foo/FooConfig.cmake) echo "libfoo-dev:amd64: \$path" ;;
    /usr/lib/x86_64-linux-gnu/libbar.so.1) echo "libbar1:amd64, libbar-compat: \$path" ;;
    *) echo "dpkg-query: no path found matching pattern \$path" >&2; status=1 ;;
    esac
done
exit \$status
TOOL
    # tool-a depends on libbar1; everything else depends on nothing.
    cat >"$work/tools/apt-cache" <<'TOOL'
#!/bin/sh
for arg in "$@"; do
    case "$arg" in
    -*|depends) ;;
    tool-a) printf 'tool-a\n  Depends: libbar1\n  Depends: <virtual-x>\nlibbar1\n  Depends: libc6\n<virtual-x>\nlibc6\n' ;;
    *) echo "$arg" ;;
    esac
done
TOOL
    printf '#!/bin/sh\necho /nonexistent\n' >"$work/tools/qtpaths6"
    chmod +x "$work/tools/"*
    export PATH="$work/tools:$PATH"

    rm "$work/build/bin/unowned"
    expect "everything covered, libbar1 through Depends" 0 "all installed by TESSOR_PACKAGES" \
        "libfoo-dev tool-a" "$work/build"
    expect "a package folder's package missing from the list" 1 \
        "libfoo-dev is not installed by the set-up.*FooConfig.cmake, Foo_DIR" "tool-a" "$work/build"
    expect "a linked library's package missing from the list and its Depends" 1 \
        "libbar1 is not installed by the set-up.*libbar.so.1, linked by .*/program" "libfoo-dev" "$work/build"
    expect "another owner of the library in the list is enough" 0 "all installed" \
        "libfoo-dev libbar-compat" "$work/build"
    printf '#!/bin/sh\n' >"$work/build/bin/unowned"
    chmod +x "$work/build/bin/unowned"
    expect "a library no package provides" 1 "no Debian package provides /opt/hand-built/libbaz.so.2" \
        "libfoo-dev tool-a" "$work/build"
    expect "a build that was never configured" 2 "CMakeCache.txt is missing" "libfoo-dev" "$work/nothing"
else
    build="$3"
    # Every build of the tests finds GoogleTest's package folder; without the packages that bring
    # it the check must name libgtest-dev.
    source "$(dirname "$check")/setup.sh"
    list=""
    for package in "${TESSOR_PACKAGES[@]}"; do
        case "$package" in libgtest-dev | libgmock-dev | googletest) ;; *) list+=" $package" ;; esac
    done
    expect "this build without GoogleTest's packages" 1 \
        "libgtest-dev is not installed by the set-up.*GTest_DIR" "$list" "$build"
fi

[ "$failures" -eq 0 ] && echo "all passed"
exit $((failures > 0))
