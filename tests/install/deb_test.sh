#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, named and versioned after the project,
# with its library dependencies, holding the installed layout; unpacked into a scratch root, its
# trazon command converts an example without QRXROOT.
# Usage: deb_test.sh BUILD_DIR VERSION
. "$(dirname "$0")/common.sh"
build=$1
version=$2
for tool in cpack dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done

(cd "$build" && cpack -G DEB -B "$scratch/package") >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack -G DEB"; finish; }
deb=$(ls "$scratch"/package/trazon_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { fail "no trazon_*.deb in $(ls "$scratch/package")"; finish; }

[ "$(dpkg-deb -f "$deb" Package)" = trazon ] || fail "package name $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6; do
    [[ "$depends" == *"$library "* || "$depends" == *"$library,"* || "$depends" == *"$library" ]] ||
        fail "Depends lacks $library: $depends"
done

dpkg-deb -c "$deb" | awk '{print $NF}' >"$scratch/contents"
for f in ./usr/bin/trazon ./usr/bin/trazon-batch ./usr/libexec/trazon/trazon \
    ./usr/share/trazon/info/landata.rsc ./usr/share/man/man1/trazon.1 \
    ./usr/share/man/man1/trazon-batch.1 ./usr/share/doc/trazon/copyright \
    ./usr/share/doc/trazon/examples/demo.hpgl; do
    grep -qxF "$f" "$scratch/contents" || fail "the package lacks $f"
done

root=$scratch/root
dpkg -x "$deb" "$root" || fail "dpkg -x"
home=$scratch/home
mkdir -p "$home"
clean_run "$home" "$root/usr/bin/trazon" -o "$scratch/demo.smb" \
    "$root/usr/share/doc/trazon/examples/demo.hpgl"
rc=$?
[ $rc -eq 0 ] || fail "the packaged trazon exited with $rc"
expect_saved "$home/norvel/kv/log" "$scratch/demo.smb"
finish
