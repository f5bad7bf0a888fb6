# shellcheck shell=bash disable=SC2154
# Sourced by the check scripts: counts the checks that pass and fail under the
# script's name (set tally_name first) and ends with the closing line
# "NAME: N passed, N failed" that CI reads.
passed=0
failed=0

pass() {
    passed=$((passed + 1))
    printf '%s: ok: %s\n' "$tally_name" "$*"
}

fail() {
    failed=$((failed + 1))
    printf '%s: FAILED: %s\n' "$tally_name" "$*" >&2
}

# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() {
    local description=$1
    shift
    if "$@"; then pass "$description"; else fail "$description"; fi
}

# Prints the closing line; fails when any check failed.
tally_report() {
    printf '%s: %d passed, %d failed\n' "$tally_name" "$passed" "$failed"
    [ "$failed" -eq 0 ]
}
