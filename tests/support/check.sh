# Sourced by the shell tests: check WHAT EXPECTED ACTUAL prints ok or FAILED
# and counts the failures in $failures.
failures=0
check() {
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1: expected '$2', got '$3'"
        failures=$((failures + 1))
    fi
}
