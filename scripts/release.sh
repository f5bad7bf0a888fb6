#!/usr/bin/env bash
# Makes every release file of the commit checked out (HEAD), byte for byte
# the same whoever runs it, wherever, whenever:
#
#   dist/brawlarium_VERSION_ARCH.deb      the Debian package
#   dist/brawlarium-VERSION-win64.zip     the Windows ZIP
#   dist/brawlarium-VERSION.html          the one-file browser page
#   dist/brawlarium-VERSION.tgz           the npm package
#   dist/brawlarium-VERSION.tar.gz        the source (git archive)
#   dist/SHA256SUMS                       the checksums of all of them
#
# The builds start from `git archive` of the commit in a temporary folder, so
# nothing uncommitted and nothing of this clone's folder gets in. Every time
# stamp is the commit's date (SOURCE_DATE_EPOCH), build paths are mapped to
# one fixed name, archives list their entries sorted with fixed owners and
# modes, and gzip stores no name and no time.
#
# Usage: scripts/release.sh [OUT_DIR]    (default: dist in this clone)
# Installs what is missing, as the other scripts do.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/deps.sh"

# The files must not depend on the shell that started the release.
umask 022
export LC_ALL=C TZ=UTC
unset LANGUAGE

say() { printf 'release: %s\n' "$*" >&2; }

need_build_tools
need_packages git dpkg-dev emscripten g++-mingw-w64-x86-64-posix tar gzip zip unzip
command -v npm >/dev/null 2>&1 || need_packages npm

out="${1:-$root/dist}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

commit=$(git -C "$root" rev-parse --verify HEAD)
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    say "the working tree has uncommitted changes: they are not in the release of ${commit:0:12}"
fi
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH
version=$(git -C "$root" show "$commit:CMakeLists.txt" |
    sed -n 's/^project(brawlarium VERSION \([0-9.]*\) .*/\1/p')
[ -n "$version" ] || { say "no project version in CMakeLists.txt"; exit 1; }
say "Brawlarium $version from ${commit:0:12} ($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'))"

work="$(mktemp -d "${TMPDIR:-/tmp}/brawlarium-release.XXXXXX")"
trap 'rm -rf "$work"' EXIT
name="brawlarium-$version"
src="$work/$name"

# The source tarball, and the tree every build starts from. tar.umask makes
# the entries' modes those of the commit, whatever this clone's git config says.
git -C "$root" -c tar.umask=022 archive --format=tar --prefix="$name/" "$commit" >"$work/source.tar"
gzip -9n <"$work/source.tar" >"$out/$name.tar.gz"
tar -xf "$work/source.tar" -C "$work"

# Every compiler sees the build's folder as /usr/src/brawlarium-VERSION.
prefix_map="-ffile-prefix-map=$src=/usr/src/$name"
jobs=$(nproc 2>/dev/null || echo 2)
jobs=$((jobs > 2 ? 2 : jobs))

build() {  # build PRESET [CMAKE_OPTION...]
    local preset=$1
    shift
    say "building the $preset preset"
    (cd "$src" && cmake --preset "$preset" -G Ninja -DCMAKE_CXX_FLAGS="$prefix_map" "$@" >/dev/null &&
        cmake --build --preset "$preset" -j "$jobs" >/dev/null)
}

# --- The Debian package --------------------------------------------------
build deb
(cd "$src/build-deb" && cpack -G DEB >/dev/null)
deb=$(cd "$src/build-deb" && ls brawlarium_"$version"_*.deb)
cp "$src/build-deb/$deb" "$out/$deb"

# --- The Windows ZIP -------------------------------------------------------
# The linker stamps the .exe with SOURCE_DATE_EPOCH, and so does cpack each
# entry of the ZIP; cpack lists them in the order the file system gives,
# though, so they are packed again in the order of their names.
build mingw
(cd "$src/build-mingw" && cpack -G ZIP >/dev/null)
mkdir "$work/zip"
(cd "$work/zip" && unzip -q "$src/build-mingw/$name-win64.zip" && touch -d "@$SOURCE_DATE_EPOCH" ./* &&
    find . -mindepth 1 -printf '%P\n' | sort | zip -X -9 -q -@ "$out/$name-win64.zip.new")
mv "$out/$name-win64.zip.new" "$out/$name-win64.zip"

# --- The page and the npm package ----------------------------------------
build web
cp "$src/build-web/brawlarium.html" "$out/$name.html"
tar --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
    --mode=u+rw,go-w,a+rX --format=ustar -C "$src/build-web/npm" -cf - package |
    gzip -9n >"$out/$name.tgz"

# --- One version everywhere ------------------------------------------------
for game in "$src/build-deb/brawlarium" "node $src/build-web/brawlarium.js"; do
    reported=$($game --version)
    [ "$reported" = "brawlarium $version" ] || { say "$game --version says '$reported'"; exit 1; }
done
grep -q "^brawlarium ($version)" "$src/doc/changelog" || { say "doc/changelog has no entry for $version"; exit 1; }

files=("$deb" "$name-win64.zip" "$name.html" "$name.tgz" "$name.tar.gz")
(cd "$out" && sha256sum "${files[@]}" >SHA256SUMS)
say "made in $out:"
(cd "$out" && ls -l "${files[@]}" SHA256SUMS >&2)
