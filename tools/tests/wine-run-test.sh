#!/usr/bin/env bash
# The Wine runner starts a program once, whatever it does: a program that fails at once
# is not started again, and a failed Wine start (seen by the probe) is tried again
# before the program runs once.  wine-run-test.sh BUILDDIR
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
runner=$here/../wine-run.sh
work=$(mktemp -d "$build/.wine-run-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() { # name expected actual
    if [ "$2" != "$3" ]; then
        echo "FAIL $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    else
        echo "ok   $1"
    fi
}

# A program that leaves one line in a file each time it runs and fails at once.
runs=$work/runs.txt
dosruns="Z:${runs//\//\\}"
run_once() {
    "$runner" "$build" cmd.exe /c "echo ran>>$dosruns& exit 3" 2>"$work/stderr.txt"
}

run_once
check "status of a program that fails at once" 3 "$?"
check "a program that fails at once runs once" 1 "$(grep -c ran "$runs")"

# A Wine that ends before starting anything on its first start.
mkdir "$work/bin"
real=$(command -v wine)
cat > "$work/bin/wine" <<FAKE
#!/usr/bin/env bash
case "\${1:-}" in
    *qxwineprobe.exe)
        if [ ! -e "$work/failed-once" ]; then
            touch "$work/failed-once"
            exit 1
        fi ;;
esac
exec "$real" "\$@"
FAKE
chmod +x "$work/bin/wine"
rm -f "$runs"
PATH=$work/bin:$PATH run_once
check "status after a failed Wine start" 3 "$?"
check "the program runs once after a failed Wine start" 1 "$(grep -c ran "$runs")"
check "the failed start is said" 1 "$(grep -c 'wine could not start a program (status 1, attempt 1)' "$work/stderr.txt")"

exit $((failures > 0))
