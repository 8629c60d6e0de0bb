#!/usr/bin/env bash
# The program on a real X server (Xvfb), not on Qt's offscreen platform: its
# main window must map at its fixed size, centred, paint itself, and close
# on Esc with exit code 0. The screenshot is kept for a person to look at.
#
#   real_window_test.sh PROGRAM ARTEFACT_FOLDER
#
# Exits 77 (skipped) when Xvfb or one of the X tools is missing.
#
# No window manager runs, so the window has no frame: its outer size in the
# layout (263 x 381) includes a frame of 3 pixels on each side and a 22-pixel
# caption, which leaves the 257 x 353 client area seen here. The program
# centres the outer rectangle, so without a frame the client's top-left
# corner is where the frame's would be: ((W - 263) / 2, (H - 381) / 2).
set -u

program=$1
artefacts=$2
screen_w=1280
screen_h=1024

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

for tool in Xvfb xwininfo xprop xdotool import convert; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
[ -x "$program" ] || fail "no program at $program"
mkdir -p "$artefacts"
work=$(mktemp -d)

server=
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp -br 3>"$work/display" \
  2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; skip "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$work/display")"
echo "Xvfb on $DISPLAY"

# In the sanitizer build, D-Bus (loaded by Qt's X11 platform) keeps a buffer
# to the end; that is not the program's.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
QT_QPA_PLATFORM=xcb "$program" >"$artefacts/program.out" 2>&1 &
app=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --class yzicon 2>/dev/null | head -n1)
[ -n "$window" ] || fail "no window of the program appeared"

title=$(xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
[ "$title" = "砚舟专用图标生成器" ] || fail "caption is '$title'"

info=$(xwininfo -id "$window")
value() { echo "$info" | sed -n "s/^ *$1: *\(-\{0,1\}[0-9]*\).*/\1/p"; }
x=$(value "Absolute upper-left X")
y=$(value "Absolute upper-left Y")
w=$(value "Width")
h=$(value "Height")
echo "window $window at $x,$y size ${w}x$h"
[ "$w" = 257 ] && [ "$h" = 353 ] || fail "size ${w}x$h, expected 257x353"
[ "$x" = $(((screen_w - 263) / 2)) ] && [ "$y" = $(((screen_h - 381) / 2)) ] ||
  fail "at $x,$y, expected $(((screen_w - 263) / 2)),$(((screen_h - 381) / 2))"

# Fixed size: the window asks for its own size as both minimum and maximum.
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
echo "$hints" | grep -q "minimum size: 257 by 353" || fail "no minimum size 257x353: $hints"
echo "$hints" | grep -q "maximum size: 257 by 353" || fail "no maximum size 257x353: $hints"

# Wait for the first paint: the window's background is the button face.
shot="$artefacts/real_window.png"
painted=
for _ in $(seq 100); do
  import -window root "$shot" 2>/dev/null
  face=$(convert "$shot" -format "%[hex:p{$((x + 4)),$((y + 4))}]" info: 2>/dev/null)
  if [ "$face" = F0F0F0 ]; then painted=1; break; fi
  sleep 0.1
done
[ -n "$painted" ] || fail "the window was not painted in the button face (saw '$face')"
# The screen around it stays as the server made it.
around=$(convert "$shot" -format "%[hex:p{$((x - 5)),$((y - 5))}]" info:)
[ "$around" = 000000 ] || fail "outside the window the screen is $around"
echo "screenshot: $shot"

xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 100); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "the program is still running 10 s after Esc"
wait "$app"
code=$?
app=
[ "$code" = 0 ] || { cat "$artefacts/program.out"; fail "exit code $code after Esc"; }
echo "PASS: centred ${w}x$h window, painted, Esc ended the program with exit code 0"
