#!/usr/bin/env bash
# Shows pressling-cli at work: publishes a few real sample documents to PDF and to HTML in a
# scratch folder, with a scratch registry, so that nothing of the user's changes.
set -euo pipefail
build=${1:-build}
cli="$(cd "$build" && pwd)/cli/pressling-cli"
checkout=$(cd "$(dirname "$0")/.." && pwd)
corpus="$(dirname "$checkout")/shared/corpus/documents"
if [[ ! -d $corpus ]]; then
    echo "demo: no sample documents at $corpus" >&2
    exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export PRESSLING_REGISTRY_DIR="$scratch/registry"
mkdir -p "$PRESSLING_REGISTRY_DIR" "$scratch/documents"
"$cli" reg add 'HKCU\SOFTWARE\Tarnwick\Application\Pressling\Config' /v WorkingFolder /t REG_SZ \
    /d "$scratch/work" /f >/dev/null
for sample in word/having-images.docx word/tbl-2x2-table.docx word/par-hyperlinks.docx excel/sample.xlsx \
    powerpoint/sld-slides.pptx; do
    cp "$corpus/$sample" "$scratch/documents/"
done
chmod u+w "$scratch/documents/"*
cd "$scratch/documents"
status=0
for format in pdf html; do
    echo "--- pressling-cli publish --format $format"
    "$cli" publish --format "$format" ./*.docx ./*.xlsx ./*.pptx || status=$?
done
echo "--- what a screen reader finds in a PDF and a web page"
pdfinfo having-images.docx.pdf | grep -E '^(Title|Tagged):' || true
grep -o -E '<html[^>]*>|<img [^>]*>' having-images.docx.html | head -n 3 || true
echo "--- published files"
ls -l "$scratch/documents"
exit "$status"
