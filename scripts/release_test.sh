#!/usr/bin/env bash
# Checks the release of the commit checked out:
#  - scripts/release.sh here, into dist/, and again in a clone of the
#    commit in another directory, later: SHA256SUMS must be the same;
#  - what users run, from dist/: the end-to-end runs with the Linux binary
#    alone in an empty root, so with no library at all, and with the exe
#    under Wine; each one's --version, and the page's, must be the commit's.
#   scripts/release_test.sh
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
bash scripts/deps.sh
bash scripts/deps.sh g++-mingw-w64-x86-64 wine64

scratch="$(mktemp -d /tmp/telk-release-test.XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
commit="$(git rev-parse HEAD)"
version="$(git show "$commit:VERSION" | head -n 1)+g${commit:0:12}"

bash scripts/release.sh
git clone -q --no-checkout "$top" "$scratch/clone"
git -C "$scratch/clone" checkout -q --detach "$commit"
bash "$scratch/clone/scripts/release.sh"
if ! cmp -s dist/SHA256SUMS "$scratch/clone/dist/SHA256SUMS"; then
  echo "release_test.sh: two builds of $commit differ:" >&2
  diff dist/SHA256SUMS "$scratch/clone/dist/SHA256SUMS" >&2 || true
  exit 1
fi
(cd dist && sha256sum --check --quiet SHA256SUMS)
echo "release_test.sh: two builds of telk $version, the same bytes:" && cat dist/SHA256SUMS

if ! grep -q "<span id=\"version\">telk $version</span>" "dist/telk-$version.html"; then
  echo "release_test.sh: the page does not show telk $version" >&2
  exit 1
fi

# One Wine prefix for the exe's runs, made before they start, as in
# scripts/test.sh.
dir=build/release-test
export WINEPREFIX="$top/$dir/wine-prefix" WINEDEBUG=-all
bash scripts/wine_prefix.sh
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELK_WERROR=ON \
  -DTELK_RELEASE_DIR="$top/dist" -DTELK_VERSION="$version" \
  -DTELK_WINE=/usr/lib/wine/wine64 -DTELK_WINE_PREFIX="$WINEPREFIX" >/dev/null
cmake --build "$dir" -j 2 --target telk_release_Linux_tests telk_release_Windows_tests
ctest --test-dir "$dir" -R '^Release\.' --output-on-failure -j 2
