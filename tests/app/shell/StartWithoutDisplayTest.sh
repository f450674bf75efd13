#!/usr/bin/env bash
# Started without a graphical display (DISPLAY unset, naming a display no
# server answers on, one whose server takes the connection and never
# answers, or one with no screen the framework can draw on), the program
# says in one line that it needs one and which it could not open or draw on
# (and why), ends with a failure, not a crash, and writes nothing of the
# user's: their home and settings folders are redirected and stay empty.
#     StartWithoutDisplayTest.sh <Kestrel-Edit> <work folder>
set -uo pipefail
program="$1" work="$2/start-without-display-test"
rm -rf "$work" && mkdir -p "$work" || exit 2
failed=0

# A display number no server answers on: far above those the test scripts'
# servers take, and with no socket (named or abstract) and no lock file.
number=500
while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] \
    || grep -q "@/tmp/.X11-unix/X$number\$" /proc/net/unix 2>/dev/null; do
    number=$((number + 1))
done

expect_refused() { # name, words the message must hold, then the display's setting for env
    local name="$1" words="$2" folder="$work/$1"
    shift 2
    mkdir -p "$folder/home" "$folder/config" || exit 2
    env -u DISPLAY -u WAYLAND_DISPLAY HOME="$folder/home" XDG_CONFIG_HOME="$folder/config" "$@" \
        timeout 120 "$program" >"$folder/out" 2>"$folder/err" </dev/null
    local status=$? message
    message=$(cat "$folder/err")
    if ((status != 1)); then
        echo "$name: ended with status $status, not 1 (0: went on; 124: did not end; above: a crash): $message"
        failed=1
    fi
    # One line, and nothing else said (no sanitizer's report either).
    if [[ "$message" != *"Kestrel-Edit needs a graphical display"* || "$message" != *"$words"* \
        || $(wc -l <"$folder/err") != 1 || "$message" == *$'\e'* ]]; then
        echo "$name: the message is not one line saying that a display is needed and \"$words\": $message"
        failed=1
    fi
    local written
    written=$(find "$folder/home" "$folder/config" -mindepth 1)
    if [[ -n "$written" ]]; then
        echo "$name: files of the user's were written: $written"
        failed=1
    fi
}
expect_refused unset "DISPLAY is not set"
expect_refused unopenable "\":$number\"" DISPLAY=":$number"
# A newline and an escape sequence in the name are shown, not acted on.
expect_refused escaped "\":$number\\n\\x1b[2J\"" DISPLAY=$':'"$number"$'\n\e[2J'

# A stale forwarded display: a server on 127.0.0.1 that takes the connection
# and never says a word (it ends by itself after a while). The refusal comes
# after the program's deadline; the limit of 120 s above only guards a hang.
listening="$work/listening"
python3 - "$listening" <<'LISTENER' &
import os, socket, sys, time
server = socket.socket()
for number in range(500, 600):
    try:
        server.bind(("127.0.0.1", 6000 + number))
        break
    except OSError:
        continue
server.listen(8)
server.settimeout(1)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(number))
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
held, end = [], time.time() + 300
while time.time() < end:
    try:
        held.append(server.accept()[0])
    except socket.timeout:
        pass
LISTENER
listener=$!
for _ in $(seq 100); do [[ -s "$listening" ]] && break; sleep 0.1; done
if [[ -s "$listening" ]]; then
    silent=$(cat "$listening")
    expect_refused silent "\"127.0.0.1:$silent\"" DISPLAY="127.0.0.1:$silent"
else
    echo "silent: the listener did not start"
    failed=1
fi
kill "$listener" 2>/dev/null
wait "$listener" 2>/dev/null

# A server that opens but offers no screen the framework can draw on (8 bit
# colour only): the framework takes no display, and the window once crashed
# being centred on none, or the program ran on without one. The line says
# what is wrong with it, not that it did not open.
if command -v Xvfb >/dev/null; then
    exec 3>"$work/eightbit-number"
    Xvfb -displayfd 3 -screen 0 640x480x8 -nolisten tcp >"$work/eightbit-server" 2>&1 &
    server=$!
    exec 3>&-
    for _ in $(seq 100); do [[ -s "$work/eightbit-number" ]] && break; sleep 0.1; done
    if [[ -s "$work/eightbit-number" ]]; then
        eightbit=$(tr -dc '0-9' <"$work/eightbit-number")
        expect_refused eightbit "\":$eightbit\" (DISPLAY) offers no visual Kestrel-Edit can draw on (its screen is 8 bit colour)." \
            DISPLAY=":$eightbit"
    else
        echo "eightbit: the 8 bit server did not start: $(cat "$work/eightbit-server")"
        failed=1
    fi
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
else
    echo "eightbit: skipped, Xvfb is not installed"
fi
exit $failed
