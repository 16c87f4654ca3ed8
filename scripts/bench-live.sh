#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures live sources on this machine's loopback, with the ffmpeg program as the sender:
#   stream   a UDP MPEG-TS 1080p30 stream received for N seconds by bench/live_source_probe, which
#            takes the newest frame at every 60 Hz refresh as a display would: frames sent,
#            received, shown and dropped (goal: 0 dropped), and how long a frame waited for its
#            refresh
#   memory   the same source with the sender killed and started again K times: the probe's
#            resident memory after the first cycle and at the end (goal: under 5 MB of growth)
#   desktop  the closed-loop latency of desktop: through the output window under an Xvfb of its
#            own: a counter window changing colour every 60 Hz tick, captured by tesselink --play
#            --source desktop: and shown beside it; the median difference over 100 screenshots
#            (TESSELINK_BENCH_LIVE_SHOTS), in frames (goal: at most 2 beyond the capture's frame)
# Builds the probe in Release in build-bench-live/; further arguments go to CMake.
# TESSELINK_BENCH_LIVE_SECONDS sets the stream's length (60); TESSELINK_BENCH_LIVE_CYCLES the drops
# and restores (20); TESSELINK_BENCH_LIVE_UP and _DOWN the seconds the sender runs and stays away in
# each (20 and 10: 20 cycles take ten minutes); TESSELINK_BENCH_LIVE_CODEC the sender's video codec
# (mpeg2video; libx264 sends H.264 with -tune zerolatency); TESSELINK_BENCH_LIVE_PARTS which parts
# run ("stream memory desktop"). Exits non-zero when a goal is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-bench-live"
seconds=${TESSELINK_BENCH_LIVE_SECONDS:-60}
cycles=${TESSELINK_BENCH_LIVE_CYCLES:-20}
up=${TESSELINK_BENCH_LIVE_UP:-20}
down=${TESSELINK_BENCH_LIVE_DOWN:-10}
codec=${TESSELINK_BENCH_LIVE_CODEC:-mpeg2video}
parts=" ${TESSELINK_BENCH_LIVE_PARTS:-stream memory desktop} "
command -v ffmpeg >/dev/null || { echo "bench-live: the ffmpeg program is missing (scripts/setup.sh installs it)" >&2; exit 1; }

echo "== building Release in $dir" >&2
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELINK_BUILD_TESTS=OFF -DTESSELINK_BUILD_BENCH=ON "$@" >/dev/null
cmake --build "$dir" --target live_source_probe -j "$(nproc)" >/dev/null
probe="$dir/bench/live_source_probe"

work=$(mktemp -d)
sender=""
stop_sender() {
  if [ -n "$sender" ]; then kill "$sender" 2>/dev/null || true; wait "$sender" 2>/dev/null || true; sender=""; fi
}
trap 'stop_sender; rm -rf "$work"' EXIT

# A UDP port on the loopback that nothing uses now.
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
url="udp://127.0.0.1:$port"

codec_options=(-c:v "$codec" -g 30)
case "$codec" in
  mpeg2video) codec_options+=(-b:v 12M -maxrate 12M -bufsize 4M) ;;
  libx264) codec_options+=(-preset ultrafast -tune zerolatency -b:v 8M) ;;
esac

# Starts the sender: 1080p30 from the test source, as fast as real time, for $1 seconds.
start_sender() {
  ffmpeg -v error -nostdin -re -f lavfi -i "testsrc2=size=1920x1080:rate=30" -t "$1" \
    "${codec_options[@]}" -f mpegts "$url?pkt_size=1316" 2>"$work/sender.log" &
  sender=$!
}

field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p" <<<"$2"; }
status=0

measure_stream() {
  echo "== stream: $url, 1080p30 $codec for $seconds s" >&2
  "$probe" "$url" $((seconds + 4)) 1920 1080 >"$work/stream.log" &
  receiver=$!
  sleep 1
  start_sender "$seconds"
  wait "$sender" || { cat "$work/sender.log" >&2; echo "bench-live: the sender failed" >&2; exit 1; }
  sender=""
  wait "$receiver"
  final=$(grep '^final' "$work/stream.log")
  sent=$((seconds * 30))
  received=$(field received "$final")
  dropped=$(field dropped "$final")
  echo "stream: sent $sent received $received shown $(field shown "$final") dropped $dropped refused $(field refused "$final") wait mean $(field wait_ms_mean "$final") ms worst $(field wait_ms_worst "$final") ms"
  if [ "$dropped" -ne 0 ]; then echo "stream: goal missed: $dropped frames dropped (goal 0)"; status=1; fi
  if [ "$received" -lt $((sent - 30)) ]; then echo "stream: $((sent - received)) frames sent never arrived"; fi
}

measure_memory() {
  echo "== memory: $cycles drops and restores, $up s up and $down s down" >&2
  total=$((cycles * (up + down) + 6))
  "$probe" "$url" "$total" 1920 1080 >"$work/memory.log" &
  receiver=$!
  sleep 1
  for ((i = 1; i <= cycles; i++)); do
    start_sender $((up + 5))
    sleep "$up"
    stop_sender
    sleep "$down"
  done
  wait "$receiver"
  # The first line after frames came, the line at the end of the first cycle (buffers that fill
  # gradually, such as FFmpeg's UDP queue, have been touched once by then) and the last line.
  first=$(awk '$0 ~ /signal=live/ { print; exit }' "$work/memory.log")
  warm=$(grep "^second=$((1 + up + down)) " "$work/memory.log")
  last=$(grep '^second=' "$work/memory.log" | tail -n 1)
  rss_first=$(field rss_kb "$first")
  rss_warm=$(field rss_kb "$warm")
  rss_last=$(field rss_kb "$last")
  growth=$((rss_last - rss_warm))
  echo "memory: rss after the first frames ${rss_first} kB, after the first cycle ${rss_warm} kB, after $cycles cycles ${rss_last} kB: growth ${growth} kB over the last $((cycles - 1)) cycles; attempts to open $(field attempts "$last")"
  if [ "$growth" -ge 5120 ]; then echo "memory: goal missed: ${growth} kB of growth (goal under 5120)"; status=1; fi
}

# The closed loop, under an Xvfb of its own: the counter window (bench/live_latency_counter) on
# the left changes colour at every 60 Hz tick, `tesselink --play` captures it with desktop: and
# shows it through a map that copies it at --at 400,0, and each screenshot of the whole screen
# shows both; the counter's value minus the output's is the loop's latency in frames.
measure_desktop() {
  if ! command -v Xvfb >/dev/null || ! command -v import >/dev/null || ! command -v convert >/dev/null; then
    echo "desktop: not measured (needs Xvfb and ImageMagick's import and convert)"
    return
  fi
  cmake --build "$dir" --target tesselink live_latency_counter -j "$(nproc)" >/dev/null
  local counter="$dir/bench/live_latency_counter" display=":$((90 + RANDOM % 100))" shots=${TESSELINK_BENCH_LIVE_SHOTS:-100}
  "$counter" --map "$work/loop.map" 200
  Xvfb "$display" -screen 0 800x300x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  sleep 1
  DISPLAY=$display QT_QPA_PLATFORM=xcb "$counter" 200 &
  local shown=$!
  sleep 1
  DISPLAY=$display QT_QPA_PLATFORM=xcb "$dir/src/app/tesselink" --play "$work/loop.map" --source desktop:0,0,0,200,200 \
    --at 400,0 2>"$work/loop.log" &
  local player=$!
  sleep 3
  local i a b
  : >"$work/frames"
  pixel() { convert "$work/shot.png" -crop "1x1+$1+100" -depth 8 txt:- | grep -o '([0-9,]*)' | head -n 1 | tr -d '()' | tr ',' ' '; }
  for ((i = 0; i < shots; i++)); do
    DISPLAY=$display import -window root "$work/shot.png"
    a=$("$counter" --decode $(pixel 100))
    b=$("$counter" --decode $(pixel 500))
    echo $(((a - b + 64) % 64)) >>"$work/frames"
  done
  kill "$player" "$shown" 2>/dev/null || true
  wait "$player" "$shown" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  local median histogram
  median=$(sort -n "$work/frames" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')
  histogram=$(sort -n "$work/frames" | uniq -c | awk '{ printf "%s%d frames: %d", (NR > 1 ? ", " : ""), $2, $1 }')
  echo "desktop: loop latency median $median frames at 60 Hz over $shots screenshots ($histogram)"
  if [ "$median" -gt 3 ]; then echo "desktop: goal missed: median $median frames (goal: 2 beyond the capture's own frame)"; status=1; fi
}
for part in stream memory desktop; do
  case "$parts" in *" $part "*) "measure_$part" ;; esac
done
exit "$status"
