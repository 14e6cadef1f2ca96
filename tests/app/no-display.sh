# Sourced by scripts/test.sh. Without a display Wine cannot create windows: the main dialog then
# fails to open, which kelmora reports on standard output with exit code 1.
check_dialog_failure_is_reported() {
    local output status=0
    output=$(env -u DISPLAY wine "$BUILD/kelmora.exe" 2>/dev/null) || status=$?
    if [ "$status" != 1 ] || [ "$output" != "The main dialog could not be opened." ]; then
        echo "FAILED: without a display kelmora gave exit code $status and printed: $output"
        return 1
    fi
    echo "Passed: a main dialog that cannot be created is reported (exit code 1)"
}
