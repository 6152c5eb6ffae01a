# Shared by the shell tests: assertions that keep going and report at the end, and a skip
# that CI turns into a failure, so a missing tool never passes unseen there.
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect_eq WHAT EXPECTED ACTUAL
expect_eq() {
    if [ "$2" != "$3" ]; then
        fail "$1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") >&2 || true
    fi
}

# expect_contains WHAT TEXT NEEDLE
expect_contains() {
    case $2 in
        *"$3"*) ;;
        *) fail "$1: '$3' not in:"$'\n'"$2" ;;
    esac
}

# needs TOOL...: skips the test (code 77) when a tool is missing, fails under CI.
needs() {
    local t
    for t in "$@"; do
        if ! command -v "$t" >/dev/null; then
            if [ -n "${CI:-}" ]; then
                echo "FAIL: $t is missing, and under CI no test is skipped" >&2
                exit 1
            fi
            echo "$t is missing: test skipped"
            exit 77
        fi
    done
}

finish() {
    if [ $failures -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "ok"
}
