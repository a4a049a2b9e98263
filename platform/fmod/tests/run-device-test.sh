#!/usr/bin/env bash
# Plays a 3 s 440 Hz tone through the sound device (Wine's PulseAudio
# driver, into the null sink the test scripts start) and checks what the
# sink's monitor recorded: a tone near 440 Hz, about 3 s of it. Lenient: the
# null sink starts late and drops a little.
# run-device-test.sh <wine-run> <fmod_play.exe> <a440.wav>
set -euo pipefail
wine_run=$1 program=$2 media=$3
if ! pactl list short sinks 2>/dev/null | grep -q nullsink; then
  echo "no PulseAudio null sink: nothing to record from" >&2
  exit 1
fi
raw=$(mktemp)
parec -d nullsink.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=20 >"$raw" &
recorder=$!
trap 'kill $recorder 2>/dev/null || true; rm -f "$raw"' EXIT
# The recorder and the sound server take a while to settle on a busy
# machine; what is cut at either end is their lateness, not the player's.
sleep 1
MELODARA_AUDIO=device WINEDEBUG=-all "$wine_run" "$program" "$media"
sleep 1.5
kill $recorder; wait $recorder 2>/dev/null || true
python3 - "$raw" <<'PY'
import array, sys
samples = array.array("h", open(sys.argv[1], "rb").read())
left = samples[0::2]
loud = [i for i, s in enumerate(left) if abs(s) > 2000]
if not loud:
    sys.exit("the recording is silent")
span = left[loud[0]:loud[-1] + 1]
seconds = len(span) / 44100
crossings = sum(1 for a, b in zip(span, span[1:]) if (a < 0) != (b < 0))
hz = crossings / 2 / seconds
print(f"recorded {seconds:.2f} s of sound at about {hz:.0f} Hz")
if not 2.5 <= seconds <= 3.6:
    sys.exit(f"expected about 3 s of tone, got {seconds:.2f} s")
if not 400 <= hz <= 480:
    sys.exit(f"expected about 440 Hz, got {hz:.0f} Hz")
PY
