#!/usr/bin/env bash
# Builds what users download into dist/ (made anew), from the files of the
# commit checked out, copied with git archive into a scratch directory, so
# that no uncommitted edit and no build/ gets in:
#   telk-VERSION-linux-x86_64         static: needs no library at all
#   telk-VERSION-windows-x86_64.exe   needs only KERNEL32 and msvcrt
#   telk-VERSION.html                 the page, which opens from disk
#   SHA256SUMS                        of the three
# VERSION is the VERSION file's number and the commit, 1.0.0+g<12 hex>;
# outside git, the files as they are and 1.0.0+unknown.  Two builds of one
# commit give the same bytes (scripts/release_test.sh checks).
#   scripts/release.sh
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
bash scripts/deps.sh g++ cmake g++-mingw-w64-x86-64

scratch="$(mktemp -d /tmp/telk-release.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
src="$scratch/src"
mkdir "$src"
if commit="$(git rev-parse --verify -q HEAD^{commit} 2>/dev/null)"; then
  git archive --format=tar "$commit" | tar -x -C "$src"
  if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release.sh: uncommitted edits are left out: this is the commit's release" >&2
  fi
  version="$(head -n 1 "$src/VERSION")+g${commit:0:12}"
  # The commit's time wherever a tool would write one.
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct "$commit")"
else
  tar -c --exclude=./build --exclude=./dist --exclude=./web/node_modules . | tar -x -C "$src"
  version="$(head -n 1 "$src/VERSION")+unknown"
  SOURCE_DATE_EPOCH="$(stat -c %Y "$src/VERSION")"
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
echo "release.sh: telk $version" >&2

flags=(-DCMAKE_BUILD_TYPE=Release -DTELK_RELEASE=ON -DTELK_WERROR=ON -DTELK_TESTS=OFF
       -DTELK_VERSION="$version")
cmake -S "$src" -B "$scratch/linux" "${flags[@]}" >/dev/null
cmake --build "$scratch/linux" -j 2 --target telk >/dev/null
cmake -S "$src" -B "$scratch/windows" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake "${flags[@]}" >/dev/null
cmake --build "$scratch/windows" -j 2 --target telk >/dev/null
bash "$src/scripts/web.sh" "${flags[@]}" >/dev/null

imports="$(x86_64-w64-mingw32-objdump -p "$scratch/windows/telk.exe" | sed -n 's/^\tDLL Name: //p' | sort -f | tr '\n' ' ')"
if [ "$imports" != "KERNEL32.dll msvcrt.dll " ]; then
  echo "release.sh: telk.exe imports $imports, not KERNEL32.dll and msvcrt.dll alone" >&2
  exit 1
fi
if readelf -d "$scratch/linux/telk" | grep -q NEEDED || readelf -l "$scratch/linux/telk" | grep -q INTERP; then
  echo "release.sh: the Linux telk is not statically linked" >&2
  exit 1
fi

names=("telk-$version-linux-x86_64" "telk-$version-windows-x86_64.exe" "telk-$version.html")
rm -rf dist
mkdir dist
install -m 755 "$scratch/linux/telk" "dist/${names[0]}"
install -m 755 "$scratch/windows/telk.exe" "dist/${names[1]}"
install -m 644 "$src/build/web/telk.html" "dist/${names[2]}"
(cd dist && sha256sum "${names[@]}" > SHA256SUMS)
ls -l dist >&2
