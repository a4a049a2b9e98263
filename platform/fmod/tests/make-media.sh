#!/usr/bin/env bash
# Makes the audio library's test media from generated tones: sox makes the
# sound, lame and ffmpeg encode it.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
if [ "${2:-}" = long ]; then
  # For the benchmark: ten minutes at 192 kbit/s, ten seconds encoded once
  # without an Info frame and its frames repeated.
  sox -q -n -r 44100 -c 2 -b 16 ten.wav synth 10 sine 300-3000 vol 0.5
  lame --quiet -t -b 192 ten.wav ten.mp3
  for _ in $(seq 60); do cat ten.mp3; done >long192.mp3
  rm -f ten.wav ten.mp3
  exit 0
fi
# Two tones in turn, so a wrong position shows as a wrong sound.
sox -q -n -r 44100 -c 2 -b 16 tone.wav synth 1.5 sine 1000 synth 1.5 sine 1000 : synth 1.5 sine 2500 vol 0.5
lame --quiet -b 128 tone.wav tone.mp3
# No Info frame: the bare frames only.
lame --quiet -b 128 -t tone.wav bare.mp3
# Mono at 22.05 kHz: the mixer resamples it.
sox -q -n -r 22050 -c 1 -b 16 mono.wav synth 2 sine 440 vol 0.5
lame --quiet -b 64 -m m mono.wav mono.mp3
# Coded WAV: the system's codecs decode these.
sox -q tone.wav -e ima-adpcm ima.wav
sox -q tone.wav -e ms-adpcm msadpcm.wav
sox -q tone.wav -e u-law -b 8 ulaw.wav
# Windows Media.
ffmpeg -loglevel error -y -i tone.wav -c:a wmav2 -b:a 128k tone.wma
# Silence with a click of 20 samples at sample 4410 and at 1000 samples
# before the end (66150 samples): a late start or a misplaced seek moves a click.
silence() { sox -q -r 44100 -c 2 -n -b 16 "$1" trim 0 "$2"s; }
silence s1.wav 4410
silence s2.wav 60720
silence s3.wav 980
sox -q -r 44100 -c 2 -n -b 16 c.wav synth 20s square 2205 vol 0.6
sox -q s1.wav c.wav s2.wav c.wav s3.wav clicks.wav
ffmpeg -loglevel error -y -i clicks.wav -c:a wmav2 -b:a 128k clicks.wma
rm -f s1.wav s2.wav s3.wav c.wav
# For the device test: a steady tone.
sox -q -n -r 44100 -c 2 -b 16 a440.wav synth 3 sine 440 vol 0.5
