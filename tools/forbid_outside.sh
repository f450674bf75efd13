# Sourced by the checks that keep one kind of call in one place.
# forbid_outside FILE MESSAGE PATTERN: prints MESSAGE and every line of
# product code outside FILE that matches the extended regular expression
# PATTERN (comment lines left out: they may name what they warn against),
# and sets status to 1 when there is one.
status=0
forbid_outside() {
    local allowed="$1" message="$2" pattern="$3" folder hits
    for folder in model device skin app librarian; do
        [ -d "$folder" ] || continue
        hits=$(grep -rnE --include='*.h' --include='*.cpp' "$pattern" "$folder" | grep -v "^$allowed:" \
            | grep -vE '^[^:]+:[0-9]+:[[:space:]]*(//|\*)' || true)
        if [ -n "$hits" ]; then
            echo "$message"
            echo "$hits"
            status=1
        fi
    done
}
