#!/usr/bin/env bash
# The .debs `make package` built in PACKAGE_BUILD: the three packages of the
# version, lintian (pedantic and experimental tags too) reports no error and
# no warning, and every file the build installs is in exactly one of them.
#   package_check.sh PACKAGE_BUILD VERSION
set -u
build=$1 version=$2
command -v lintian >/dev/null || { echo "lintian is not installed: packages not checked"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "$*"; failed=1; }

arch=$(dpkg --print-architecture)
debs=("$build/orbivale_${version}_$arch.deb" "$build/orbivale-data_${version}_all.deb"
      "$build/orbivale-tools_${version}_$arch.deb")
for deb in "${debs[@]}"; do [ -f "$deb" ] || { echo "no $deb"; exit 1; }; done

lintian --pedantic --display-experimental --fail-on error,warning "${debs[@]}" 2>&1 |
  grep -v "running with root privileges" | tee "$work/lintian"
[ "${PIPESTATUS[0]}" -eq 0 ] && [ ! -s "$work/lintian" ] || fail "lintian found the above"

dpkg-deb -f "${debs[0]}" Depends | grep -q "orbivale-data (= $version)" || fail "orbivale does not need its own data"

# A file of no component would be in no package, one of two in both.
DESTDIR=$work/all cmake --install "$build" >/dev/null || exit 1
(cd "$work/all" && find . ! -type d | sort) >"$work/installed"
for deb in "${debs[@]}"; do dpkg-deb -c "$deb"; done | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/packaged"
diff "$work/installed" "$work/packaged" >"$work/diff" || { fail "installed (<) and packaged (>) differ:"; cat "$work/diff"; }
[ $failed -eq 0 ] && echo "${debs[*]##*/}: lintian is silent, each installed file in one package"
exit $failed
