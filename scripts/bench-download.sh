#!/usr/bin/env bash
# Velnor's download job against a bare WinHTTP loop (one session, as many threads, each GET
# streamed to a part file and renamed), aria2c and wget, all fetching from nginx on a loopback
# port in one run: 1000 files of 64 KB and 20 files of 5 MB, at 2 and 4 connections (wget: one).
# Velnor is timed through its window, from a press of 開始 to the summary in the status line.
# Prints each time, each ratio to the loop, Velnor's ratio to aria2c, the longest WM_NULL answer
# of Velnor's windows during its runs and its working set; a re-run of a long list: 開始 on
# 30001 items whose files are all there, timed to "既存 30001", with the longest WM_NULL answer
# meanwhile; and 「続きを探す」: the end of a series of 300 three-digit numbers found from one
# copied URL of its first item, and the end of a three-digit series of 58 (s000 ... s057) from
# one copy of its 13th item, before the list's end (the split's list runs to 100, whose item
# is missing: the search asks forward from 13), each through its window, against the loop
# asking the same URLs for their first KB at the same connection count. ONLY=jobs,
# ONLY=rerun or ONLY=search runs one part alone. No time is asserted.
# Installs nginx-light, aria2 and wget with apt-get when they are missing; REPS (default 5)
# runs of each (three times as many of the large files, whose runs are short), the median
# counted. A ratio is the median of the runs' own ratios, each Velnor run against the loop and
# aria2c runs beside it, so that the machine's speed drifting during the benchmark cancels.
# VELNOR_WINDOWS_BUILD and VELNOR_PREFIX_BASE as in scripts/check-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
BUILD="${VELNOR_WINDOWS_BUILD:-build/windows}"
WORK="$ROOT/build/bench-download"
REPS="${REPS:-5}"

need=()
for p in nginx-light aria2 wget python3; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "installing: ${need[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
      -DVELNOR_TESTS=OFF -DVELNOR_E2E=ON >/dev/null
cmake --build "$BUILD" -j2 --target Velnor velnor_dlbench velnor_winhttp_loop >/dev/null

# The files, made once: small/f000.bin ... f999.bin (64 KB), large/g00.bin ... g19.bin (5 MB).
mkdir -p "$WORK/www" "$WORK/out" "$WORK/temp"
python3 - "$WORK/www" <<'PY'
import os, sys
root = sys.argv[1]
for folder, stem, count, width, size in (("small", "f", 1000, 3, 65536), ("large", "g", 20, 2, 5 << 20)):
    os.makedirs(os.path.join(root, folder), exist_ok=True)
    for n in range(count):
        path = os.path.join(root, folder, f"{stem}{n:0{width}d}.bin")
        if not os.path.exists(path) or os.path.getsize(path) != size:
            with open(path, "wb") as f:
                f.write(os.urandom(size))
for folder, numbers in (("series", range(1, 301)), ("short", range(0, 58))):
    os.makedirs(os.path.join(root, folder), exist_ok=True)
    for n in numbers:
        path = os.path.join(root, folder, f"s{n:03d}.jpg")
        if not os.path.exists(path):
            with open(path, "wb") as f:
                f.write(b"\xff\xd8\xff\xe0" + os.urandom(16380))
PY

# nginx on a free loopback port, with a configuration of this script's own.
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$WORK/nginx.conf" <<CONF
$( [ "$(id -u)" -eq 0 ] && echo "user root;" )
worker_processes 2;
pid $WORK/nginx.pid;
error_log $WORK/nginx-error.log;
events { worker_connections 512; }
http {
  access_log off;
  sendfile on;
  keepalive_requests 100000;
  default_type application/octet-stream;
  client_body_temp_path $WORK/temp/body;
  proxy_temp_path $WORK/temp/proxy;
  fastcgi_temp_path $WORK/temp/fastcgi;
  uwsgi_temp_path $WORK/temp/uwsgi;
  scgi_temp_path $WORK/temp/scgi;
  server {
    listen 127.0.0.1:$PORT;
    root $WORK/www;
  }
}
CONF
/usr/sbin/nginx -c "$WORK/nginx.conf" -p "$WORK" -e "$WORK/nginx-error.log"
source scripts/wine-env.sh
stop() {
  /usr/sbin/nginx -c "$WORK/nginx.conf" -p "$WORK" -e "$WORK/nginx-error.log" -s quit 2>/dev/null || true
  velnor_wineserver_stop
  velnor_display_stop
}
trap stop EXIT
velnor_display
velnor_wine_prefix
velnor_wineserver
BASE="http://127.0.0.1:$PORT"
for n in $(seq 0 999); do printf '%s/small/f%03d.bin\n' "$BASE" "$n"; done >"$WORK/small.list"
for n in $(seq 0 19); do printf '%s/large/g%02d.bin\n' "$BASE" "$n"; done >"$WORK/large.list"

fresh() { rm -rf "$WORK/out"; mkdir -p "$WORK/out"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
calc() { awk "BEGIN { print $1 }"; }
larger() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b ? a : b) }'; }
seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); calc "$end - $start"; }
# Every file there and whole: the count and a checksum of all of them against the served ones.
check() {
  local set=$1 got want
  got=$(cd "$WORK/out" && ls | grep -v '\.part$' | sort | xargs cat | md5sum)
  want=$(cd "$WORK/www/$set" && ls | sort | xargs cat | md5sum)
  [ "$got" = "$want" ] || echo "  !! $2: the files differ from the served ones" >&2
}

# The parts of the benchmark: all of them, or the one ONLY names.
part() { [ -z "${ONLY:-}" ] || [ "$ONLY" = "$1" ]; }
if part jobs; then
declare -A LOOP VELNOR ARIA WGET TO_LOOP TO_ARIA
WMNULL=0; IDLE=0; PEAK=0
for set in small large; do
  if [ $set = small ]; then last=999; stem=f; else last=19; stem=g; fi
  for n in 2 4; do
    loops=(); velnors=(); arias=(); toLoop=(); toAria=()
    reps=$REPS; [ $set = large ] && reps=$((REPS * 3))
    for rep in $(seq 1 "$reps"); do
      fresh
      line=$("$VELNOR_WINE" "$BUILD/tests/e2e/velnor_winhttp_loop.exe" "$(winepath_of "$WORK/$set.list")" \
             "$(winepath_of "$WORK/out")" "$n" </dev/null | tr -d '\r')
      loops+=("$(echo "$line" | sed -n 's/.* threads \([0-9.]*\) s.*/\1/p')")
      check $set "loop"
      fresh
      out=$("$VELNOR_WINE" "$BUILD/tests/e2e/velnor_dlbench.exe" --exe "$(winepath_of "$BUILD/src/win32/Velnor.exe")" \
            --work "$(winepath_of "$WORK")\\work" --url "$BASE/$set/$stem" --last $last --ext .bin \
            --folder "$(winepath_of "$WORK/out")" --connections $n </dev/null | tr -d '\r')
      echo "$out" | grep -q '^status 完了 '"$((last + 1))"' 件' || echo "  !! Velnor: $(echo "$out" | tail -1)" >&2
      velnors+=("$(echo "$out" | sed -n 's/.* connections \([0-9.]*\) s,.*/\1/p')")
      ms=$(echo "$out" | sed -n 's/.*longest WM_NULL \([0-9.]*\) ms.*/\1/p')
      idle=$(echo "$out" | sed -n 's/.*idle \([0-9.]*\) MB.*/\1/p')
      peak=$(echo "$out" | sed -n 's/.*peak \([0-9.]*\) MB.*/\1/p')
      WMNULL=$(larger "$ms" "$WMNULL"); PEAK=$(larger "$peak" "$PEAK"); IDLE=$(larger "$idle" "$IDLE")
      check $set "Velnor"
      fresh
      arias+=("$(seconds aria2c -i "$WORK/$set.list" -j $n -x 1 -d "$WORK/out" --quiet --allow-overwrite=true \
                 --auto-file-renaming=false --file-allocation=none)")
      check $set "aria2c"
      toLoop+=("$(calc "${velnors[-1]} / ${loops[-1]}")")
      toAria+=("$(calc "${velnors[-1]} / ${arias[-1]}")")
    done
    LOOP[$set$n]=$(printf '%s\n' "${loops[@]}" | median)
    VELNOR[$set$n]=$(printf '%s\n' "${velnors[@]}" | median)
    ARIA[$set$n]=$(printf '%s\n' "${arias[@]}" | median)
    TO_LOOP[$set$n]=$(printf '%s\n' "${toLoop[@]}" | median)
    TO_ARIA[$set$n]=$(printf '%s\n' "${toAria[@]}" | median)
  done
  wgets=()
  for rep in $(seq 1 "$REPS"); do
    fresh
    wgets+=("$(seconds wget -q -i "$WORK/$set.list" -P "$WORK/out")")
    check $set "wget"
  done
  WGET[$set]=$(printf '%s\n' "${wgets[@]}" | median)
done

# The window opening on a list of 30001 items (never requested), and on one item: what the
# list adds to the making of the window itself.
opening() {
  "$VELNOR_WINE" "$BUILD/tests/e2e/velnor_dlbench.exe" --exe "$(winepath_of "$BUILD/src/win32/Velnor.exe")" \
    --work "$(winepath_of "$WORK")\\work" --url "$BASE/small/f" --last "$1" --ext .bin \
    --folder "$(winepath_of "$WORK/out")" --open-only </dev/null | tr -d '\r' | sed -n 's/.* in \([0-9.]*\) ms/\1/p'
}
opens=(); opens1=()
for rep in $(seq 1 "$REPS"); do opens+=("$(opening 3e4)"); opens1+=("$(opening 0)"); done
OPEN=$(printf '%s\n' "${opens[@]}" | median)
OPEN1=$(printf '%s\n' "${opens1[@]}" | median)

fi

if part rerun; then
# A re-run of a long list: 開始 on 30001 items whose files are all in the folder already
# (f000.bin ... f30000.bin, never requested), timed to the summary "既存 30001", with the
# longest WM_NULL answer meanwhile.
mkdir -p "$WORK/present"
python3 - "$WORK/present" <<'PY'
import os, sys
for n in range(30001):
    path = os.path.join(sys.argv[1], f"f{n:03d}.bin")
    if not os.path.exists(path):
        with open(path, "wb") as f:
            f.write(b"x" * (n % 7 + 1))
PY
reruns=(); RERUN_WMNULL=0
for rep in $(seq 1 "$REPS"); do
  out=$("$VELNOR_WINE" "$BUILD/tests/e2e/velnor_dlbench.exe" --exe "$(winepath_of "$BUILD/src/win32/Velnor.exe")" \
        --work "$(winepath_of "$WORK")\\work" --url "$BASE/small/f" --last 3e4 --ext .bin \
        --folder "$(winepath_of "$WORK/present")" --connections 2 </dev/null | tr -d '\r')
  echo "$out" | grep -q '既存 30001 件' || echo "  !! re-run: $(echo "$out" | tail -1)" >&2
  reruns+=("$(echo "$out" | sed -n 's/.* connections \([0-9.]*\) s,.*/\1/p')")
  ms=$(echo "$out" | sed -n 's/.*longest WM_NULL \([0-9.]*\) ms.*/\1/p')
  RERUN_WMNULL=$(larger "$ms" "$RERUN_WMNULL")
done
RERUN=$(printf '%s\n' "${reruns[@]}" | median)
fi

if part search; then
# The search: the split of s001 gives the list 000 ... 100; the search asks about 101 ... 305
# (the five after 300 are missing) and the list then ends at 300. Before the list's end: the
# split of short/s012 gives the list 000 ... 100; the search asks about 100 (missing), then
# 013 ... 062 (the five after 057 are missing) and the list then ends at 057. The loop asks the
# same URLs, in the same order.
for n in $(seq 101 305); do printf '%s/series/s%03d.jpg\n' "$BASE" "$n"; done >"$WORK/series.list"
{ printf '%s/short/s100.jpg\n' "$BASE"; for n in $(seq 13 62); do printf '%s/short/s%03d.jpg\n' "$BASE" "$n"; done; } \
  >"$WORK/short.list"
declare -A SEARCH_LOOP SEARCH TO_LOOP_SEARCH
WMNULL_SEARCH=0
for shape in series short; do
  if [ $shape = series ]; then copy=s001; last=300; else copy=s012; last=57; fi
  searchLoops=(); searches=(); toLoopSearch=()
  for rep in $(seq 1 "$REPS"); do
    line=$("$VELNOR_WINE" "$BUILD/tests/e2e/velnor_winhttp_loop.exe" "$(winepath_of "$WORK/$shape.list")" \
           "$(winepath_of "$WORK/out")" 2 1024 </dev/null | tr -d '\r')
    searchLoops+=("$(echo "$line" | sed -n 's/.* threads \([0-9.]*\) s.*/\1/p')")
    out=$("$VELNOR_WINE" "$BUILD/tests/e2e/velnor_dlbench.exe" --exe "$(winepath_of "$BUILD/src/win32/Velnor.exe")" \
          --work "$(winepath_of "$WORK")\\search" --search "$BASE/$shape/$copy.jpg" --last $last --connections 2 \
          </dev/null | tr -d '\r')
    echo "$out" | grep -q "last item $BASE/$shape/s$(printf %03d $last).jpg, 0 boxes" || echo "  !! search: $out" >&2
    searches+=("$(echo "$out" | sed -n 's/.* connections \([0-9.]*\) s,.*/\1/p')")
    WMNULL_SEARCH=$(larger "$(echo "$out" | sed -n 's/.*longest WM_NULL \([0-9.]*\) ms.*/\1/p')" "$WMNULL_SEARCH")
    toLoopSearch+=("$(calc "${searches[-1]} / ${searchLoops[-1]}")")
  done
  SEARCH_LOOP[$shape]=$(printf '%s\n' "${searchLoops[@]}" | median)
  SEARCH[$shape]=$(printf '%s\n' "${searches[@]}" | median)
  TO_LOOP_SEARCH[$shape]=$(printf '%s\n' "${toLoopSearch[@]}" | median)
done
fi

describe() { [ "$1" = small ] && echo "1000 files of 64 KB" || echo "20 files of 5 MB"; }
echo
if part jobs; then
echo "Download benchmark: nginx on 127.0.0.1, Velnor and the WinHTTP loop under Wine, the others native;"
echo "medians of $REPS runs ($((REPS * 3)) of the large files); ratios: medians of each run's own"
for set in small large; do
  echo "$(describe $set):"
  for n in 2 4; do
    printf '  %d connections: bare WinHTTP loop %.2f s, Velnor %.2f s, aria2c %.2f s\n' \
      $n "${LOOP[$set$n]}" "${VELNOR[$set$n]}" "${ARIA[$set$n]}"
    printf '    ratio to the bare WinHTTP loop: %.2fx\n' "${TO_LOOP[$set$n]}"
    printf '    Velnor to aria2c: %.2fx\n' "${TO_ARIA[$set$n]}"
  done
  printf '  wget (one connection): %.2f s\n' "${WGET[$set]}"
done
printf 'longest WM_NULL answer during Velnor'"'"'s runs: %.1f ms\n' "$WMNULL"
printf 'Velnor'"'"'s working set: idle window %.1f MB, peak during a job %.1f MB (+%.1f MB)\n' \
  "$IDLE" "$PEAK" "$(calc "$PEAK - $IDLE")"
printf 'the window opened on 30001 items in %.1f ms (on one item: %.1f ms)\n' "$OPEN" "$OPEN1"
fi
if part rerun; then
printf '開始 on 30001 items all present: "既存 30001" in %.3f s (median of %d runs), longest WM_NULL answer %.1f ms\n' \
  "$RERUN" "$REPS" "$RERUN_WMNULL"
fi
if part search; then
printf 'the end of a series of 300 (2 connections): bare WinHTTP loop %.3f s, Velnor'"'"'s search %.3f s\n' \
  "${SEARCH_LOOP[series]}" "${SEARCH[series]}"
printf 'search to the bare loop: %.2fx\n' "${TO_LOOP_SEARCH[series]}"
printf 'the end of a series of 58 before the list'"'"'s end, from s012 (2 connections): bare WinHTTP loop %.3f s, Velnor'"'"'s search %.3f s\n' \
  "${SEARCH_LOOP[short]}" "${SEARCH[short]}"
printf 'search to the bare loop: %.2fx\n' "${TO_LOOP_SEARCH[short]}"
printf 'longest WM_NULL answer during the searches: %.1f ms\n' "$WMNULL_SEARCH"
fi
