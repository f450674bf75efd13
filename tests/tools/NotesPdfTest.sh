#!/usr/bin/env bash
# The release notes' typesetter sets every line of UTF-8 text, a line that
# wraps inside multi-byte letters included; bytes that are no whole letter
# stop it with a failure that names their line.
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
    elif [[ "$out" != *"line $2:"* ]] || [ -e "$work/$1.pdf" ]; then
        echo "$1: the failure does not name line $2, or a PDF was left: $out"
        failed=1
    fi
}
expect_refused cut-letter 3 'Notes\n\nA cut letter: \xc3\nmore\n'
expect_refused cut-three-byte 2 'Notes\nA dash cut short: \xe2\x80 and on\n'
expect_refused stray-byte 4 'Notes\n\nfine\na stray \x80 byte\nmore\n'
exit $failed
