#!/usr/bin/env bash
# check-guide.sh BUILD_DIR: the README and the user guide (docs/) link only
# pages and pictures that exist, the picture script copies every picture a page
# shows from the screenshots the window tests just saved, and the guide was
# built as HTML where Help > User Guide opens it.
set -euo pipefail
build=$(cd "$1" && pwd)
checkout=$(cd "$(dirname "$0")/../.." && pwd)
cd "$checkout"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Every relative link of a page (a page, a picture) names a file beside it.
for page in README.md docs/*.md; do
    folder=$(dirname "$page")
    while read -r target; do
        target=${target%%#*}
        [ -n "$target" ] || continue
        [ -e "$folder/$target" ] || fail "$page links $target, which does not exist"
    done < <(grep -o '](\([^)]*\))' "$page" | sed 's/^](\(.*\))$/\1/' | grep -v '^[a-z]*:' || true)
done
pictures=$(grep -ho 'pictures/[A-Za-z0-9_.-]*\.png' README.md docs/*.md | sort -u)
[ -n "$pictures" ] || fail "no page shows a picture"

# The script copies each shown picture from this run's screenshots.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
scripts/refresh-guide-pictures.sh "$build/screenshots" "$out" || fail "refresh-guide-pictures.sh failed"
for picture in $pictures; do
    [ -s "$out/${picture#pictures/}" ] || fail "the script did not copy $picture"
done

# The HTML guide, with its pictures, as installed.
guide=$build/share/doc/gyroeval/guide
for page in docs/*.md; do
    name=$(basename "$page" .md)
    [ -s "$guide/$name.html" ] || fail "$guide/$name.html was not built from $page"
done
for picture in $(grep -ho 'pictures/[A-Za-z0-9_.-]*\.png' docs/*.md | sort -u); do
    [ -s "$guide/$picture" ] || fail "$guide/$picture is missing"
    grep -q "$picture" "$guide"/*.html || fail "no guide page shows $picture"
done
grep -q 'href="main-window.html"' "$guide/index.html" || fail "index.html does not link main-window.html"
echo "guide: $(echo "$pictures" | wc -l) pictures, every link found, HTML built"
