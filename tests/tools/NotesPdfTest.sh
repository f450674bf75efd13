#!/usr/bin/env bash
# The release notes' typesetter sets every line of UTF-8 text, a line that
# wraps inside multi-byte letters included; bytes that are no whole letter,
# and zero bytes, stop it with a failure that names their line. A run that
# fails, is killed part-way or meets a full disk leaves the PDF of the last
# good run as it was.
#     NotesPdfTest.sh <notespdf> <fonts folder> <work folder>
set -uo pipefail
tool="$1" fonts="$2" work="$3/notespdf-test"
rm -rf "$work" && mkdir -p "$work" || exit 2
failed=0

{
    printf 'Kestrel-Edit 1.8.2 – Release Notes\n==================\n\nÄnderungen\n'
    for i in $(seq 1 60); do
        printf -- '- Zeile %d: Grüße, naïve café – “quoted” ✓ 日本語\n' "$i"
    done
    # Longer than a page's width: wraps where every cut falls among two-byte letters.
    letters=$(for i in $(seq 1 400); do printf 'é'; done)
    printf '%s\nx%s\n' "$letters" "$letters"
    printf 'The end.\n'
} >"$work/good.txt"
lines=$(wc -l <"$work/good.txt")
if ! out=$("$tool" "$work/good.txt" "$fonts" "$work/good.pdf" 2>&1); then
    echo "valid UTF-8 was refused: $out"
    failed=1
elif [[ "$out" != *"set $lines lines"* ]]; then
    echo "not every one of the $lines lines was set: $out"
    failed=1
fi

expect_refused() { # name, line number, the file's bytes (printf format)
    printf "$3" >"$work/$1.txt"
    cp "$work/good.pdf" "$work/$1.pdf" # as an earlier build left it
    if out=$("$tool" "$work/$1.txt" "$fonts" "$work/$1.pdf" 2>&1); then
        echo "$1: accepted: $out"
        failed=1
    elif [[ "$out" != *"line $2:"* ]] || ! cmp -s "$work/good.pdf" "$work/$1.pdf"; then
        echo "$1: the failure does not name line $2, or the earlier PDF changed: $out"
        failed=1
    fi
}
expect_refused cut-letter 3 'Notes\n\nA cut letter: \xc3\nmore\n'
expect_refused cut-three-byte 2 'Notes\nA dash cut short: \xe2\x80 and on\n'
expect_refused stray-byte 4 'Notes\n\nfine\na stray \x80 byte\nmore\n'
expect_refused zero-inside 3 'Notes\n\nbefore\0after\nmore\n'
expect_refused zero-first 2 'Notes\n\0a line that would vanish\nmore\n'

# Killed once the file it writes passes 8 KiB (by the file size limit's
# signal), the run leaves the earlier PDF whole.
cp "$work/good.pdf" "$work/killed.pdf"
if { (ulimit -f 8 && exec "$tool" "$work/good.txt" "$fonts" "$work/killed.pdf") >/dev/null 2>&1; } 2>/dev/null; then
    echo "killed: the run was not cut short"
    failed=1
elif ! cmp -s "$work/good.pdf" "$work/killed.pdf"; then
    echo "killed: the earlier PDF was changed by a run cut short"
    failed=1
fi

# A write refused once the file passes 8 KiB, as on a disk that fills (the
# file size limit's signal ignored, so the write fails instead): the run fails,
# names the file, leaves the earlier PDF whole and no partial file behind.
cp "$work/good.pdf" "$work/full.pdf"
if out=$( (trap '' XFSZ && ulimit -f 8 && exec "$tool" "$work/good.txt" "$fonts" "$work/full.pdf") 2>&1); then
    echo "full disk: the run passed for a success: $out"
    failed=1
elif [[ "$out" != *"cannot write $work/full.pdf.part"* ]] || ! cmp -s "$work/good.pdf" "$work/full.pdf" \
    || [[ -e "$work/full.pdf.part" ]]; then
    echo "full disk: no clear failure, the earlier PDF changed, or the partial file stayed: $out"
    failed=1
fi
exit $failed
