# Sourced by the install tests: counted checks, a window waited for by its
# caption, and the closing line "N passed, N failed".
passed=0 failed=0
check() {  # what, command...
    local what="$1"; shift
    if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what"; return 1; fi
}
titled() {  # caption: a shown window has exactly that caption
    local id
    for id in $(xdotool search --onlyvisible --name .); do [ "$(xdotool getwindowname "$id")" = "$1" ] && return 0; done
    return 1
}
opens() {  # what, caption: such a window within a minute, or the captions there are
    check "$1" wine_env_wait 60 titled "$2" || xdotool search --name . getwindowname %@
}
same() { check "$1" diff "$2" "$3" || diff "$2" "$3" | head -20; }  # what, expected file, actual file
summary() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; }
