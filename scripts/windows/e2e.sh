#!/usr/bin/env bash
# End-to-end checks of the Windows build under Wine (called by test.sh, which
# sets WINEPREFIX, WINEPATH and WINEDEBUG): gyroctl.exe on the simulated sensor,
# gyroeval.exe under Xvfb with the real Windows platform plugin, and the
# installer's install and uninstall. Uses the staged program folder, which holds
# every DLL and plugin the programs load.
#   e2e.sh BUILD
set -euo pipefail
build=$1
stage=$build/stage
work=$(mktemp -d /tmp/gyroeval-e2e.XXXXXX)
shots=$build/screenshots
mkdir -p "$shots"
fail() { echo "FAILED: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }
gyroctl() { (cd "$work" && wine "$stage/gyroctl.exe" "$@"); }

# gyroctl.exe: a read, a log of two whole files, the noise analysis of one.
out=$(gyroctl --simulate --interface usb read Supply_Out Temp_Out | tr -d '\r')
[ "$(wc -l <<<"$out")" -eq 2 ] || fail "gyroctl read printed: $out"
ok "gyroctl.exe read: $(tr '\n' ' ' <<<"$out")"

mkdir -p "$work/logs" "$work/killed"
gyroctl --simulate --interface usb log --samples 500 --files 2 --time --dir logs >/dev/null
for f in DATALOG_1.csv DATALOG_2.csv; do
  [ -f "$work/logs/$f" ] || fail "gyroctl log wrote no $f"
  lines=$(grep -c . "$work/logs/$f")
  [ "$lines" -ge 500 ] || fail "$f has $lines lines"
done
ls "$work/logs" | grep -q partial && fail "a finished log left a partial file"
ok "gyroctl.exe log: two whole files of $(grep -c . "$work/logs/DATALOG_1.csv") lines"

out=$(gyroctl allan logs/DATALOG_1.csv --rate 100 --all-lines | tr -d '\r')
grep -q . <<<"$out" || fail "gyroctl allan printed nothing"
ok "gyroctl.exe allan: $(wc -l <<<"$out") lines"

# A log terminated mid-run keeps every line written so far.
(cd "$work" && exec wine "$stage/gyroctl.exe" --simulate --interface usb log --samples 100000000 --time --dir killed \
  >/dev/null 2>&1) &
partial=$work/killed/DATALOG_1.csv.partial
for _ in $(seq 1 120); do
  [ -f "$partial" ] && [ "$(wc -c <"$partial")" -gt 20000 ] && break
  sleep 0.5
done
[ -f "$partial" ] || fail "the running log has no partial file"
pkill -9 -f 'gyroctl\.exe' || true
wait 2>/dev/null || true
complete=$(awk -F, 'NR == 1 { n = NF } NF == n { c++ } END { print c + 0 }' "$partial")
total=$(wc -l <"$partial")
[ "$complete" -gt 100 ] || fail "the terminated log kept $complete whole lines"
ok "terminated log kept $complete of $total lines whole ($(wc -c <"$partial") bytes)"

# gyroeval.exe with the real Windows platform plugin on a virtual display.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=$display
# A new Wine session, whose desktop is on this display: the one the headless
# runs before started has none, and windows of its session never reach X.
wineserver -k 2>/dev/null || true
wineserver -w
mkdir -p "$work/gui"
(cd "$work/gui" && exec wine "$stage/gyroeval.exe" --simulate --interface usb --start-reading >/dev/null 2>&1) &
gui_pid=$!
shown=0
for _ in $(seq 1 120); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Gyro'; then shown=1; break; fi
  sleep 1
done
[ "$shown" -eq 1 ] || fail "gyroeval.exe showed no window in 120 s"
sleep 8
import -window root "$shots/windows-gyroeval-1.png"
sleep 2
import -window root "$shots/windows-gyroeval-2.png"
difference=$(compare -metric AE "$shots/windows-gyroeval-1.png" "$shots/windows-gyroeval-2.png" null: 2>&1 || true)
[ "${difference%% *}" != 0 ] || fail "gyroeval.exe's window did not change in 2 s: no live readings"
ok "gyroeval.exe shows live readings ($difference pixels changed in 2 s; $shots/windows-gyroeval-2.png)"
(cd "$work/gui" && wine taskkill /im gyroeval.exe >/dev/null 2>&1) || true
for _ in $(seq 1 30); do kill -0 "$gui_pid" 2>/dev/null || break; sleep 1; done
kill -0 "$gui_pid" 2>/dev/null && fail "gyroeval.exe did not close when asked"
[ -f "$work/gui/CommPort.cfg" ] || fail "gyroeval.exe wrote no CommPort.cfg on close"
ok "gyroeval.exe closed and wrote CommPort.cfg"

# The installer, silent, into this prefix; then the uninstaller.
setup=$(ls "$build"/installer/gyroeval-*-win64-setup.exe)
wine "$setup" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/GyroEval"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Gyro Evaluation"
[ -f "$installed/gyroctl.exe" ] || fail "the installer put no gyroctl.exe in $installed"
[ -f "$menu/Simulated Sensor.lnk" ] || fail "the installer made no Simulated Sensor shortcut"
out=$(cd "$work" && wine "$installed/gyroctl.exe" --simulate --interface usb read Supply_Out | tr -d '\r')
grep -q '[0-9]' <<<"$out" || fail "the installed gyroctl.exe read: $out"
ok "installed $(find "$installed" -type f | wc -l) files; the installed gyroctl.exe reads $out"
wine "$installed/Uninstall.exe" /S
wineserver -w
[ ! -e "$installed" ] || fail "the uninstaller left: $(find "$installed" | head)"
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\GyroEval' >/dev/null 2>&1 &&
  fail "the uninstaller left its registry entry"
ok "the uninstaller left nothing in Program Files, the Start menu or the registry"
rm -rf "$work"
