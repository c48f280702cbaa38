#!/usr/bin/env bash
# Builds the benchmarks in Release in their own directory (build-bench, or
# $1), runs this library against RDKit and Open Babel (MOL import, PNG, SVG),
# the CAS lookup against SQLite and a bare POSIX search, `structdb build`,
# and the maintenance tools against the floor of reading their input, and
# prints one Markdown table of medians per item with the peers' ratios
# (peer / ours: above 1 we are faster), a table of how the lookup, a read in
# order and an addition grow from 10^4 to 10^6 records, then where our time
# goes.
#
# Environment: BENCH_REPS (repetitions on the samples, default 5),
# BENCH_REPS_GENERATED (on the generated set, default 3),
# STRUCT_BENCH_GENERATED (molecules generated, default 10000),
# BENCH_JOBS (build jobs, default 2). Run as root, it installs what is missing
# with apt-get. Not part of scripts/test.sh or CI.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
reps=${BENCH_REPS:-5}
reps_gen=${BENCH_REPS_GENERATED:-3}
jobs=${BENCH_JOBS:-2}

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for pkg in g++ cmake ninja-build pkg-config libcairo2-dev libfontconfig-dev fonts-dejavu-core \
           libbenchmark-dev libsqlite3-dev libpng-dev librdkit-dev libboost-dev \
           libopenbabel-dev libdeflate-dev jq strace; do
  have_pkg "$pkg" || need+=("$pkg")
done
if ((${#need[@]})); then
  if [ "$(id -u)" = 0 ]; then
    echo "bench: installing ${need[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  else
    echo "bench: missing packages (install them as root): ${need[*]}" >&2
    exit 1
  fi
fi

echo "== build ($build, Release)" >&2
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTRUCT_BENCH=ON \
  -DSTRUCT_TESTS=OFF >/dev/null
ninja -C "$build" -j"$jobs" bench_peers bench_lookup lookup_syscalls structdb sdf_rdkit \
  bench_tools bench_userlib >/dev/null
bin=$build/bin

out=$(mktemp -d /tmp/structbench-run-XXXXXX)
trap 'rm -rf "$out"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

gb=(--benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
    --benchmark_min_time=0.2 --benchmark_format=json)

echo "== MOL import, PNG, SVG on the samples ($reps repetitions)" >&2
"$bin/bench_peers" "${gb[@]}" --benchmark_repetitions="$reps" \
  --benchmark_filter='/sample/' >"$out/sample.json"
echo "== MOL import, PNG, SVG on the generated set ($reps_gen repetitions)" >&2
"$bin/bench_peers" "${gb[@]}" --benchmark_repetitions="$reps_gen" \
  --benchmark_filter='^(import|png|svg)/(ours|rdkit|rdkit_sanitize|openbabel|ours_draw_only|ours_encode_only|ours_lines_only|posix_whole_file|ours_metafile_only)/generated/' \
  >"$out/generated.json"
echo "== CAS lookup in 1,000,000 records ($reps repetitions)" >&2
"$bin/bench_lookup" "${gb[@]}" --benchmark_repetitions="$reps" \
  --benchmark_filter='Lookup' >"$out/lookup.json"

# System calls per lookup: strace -c of COUNT lookups less those of none.
syscalls() {  # mode
  local n=2000
  strace -f -c -o "$out/st0" "$bin/lookup_syscalls" "$1" 0 >/dev/null
  strace -f -c -o "$out/stn" "$bin/lookup_syscalls" "$1" "$n" >/dev/null
  awk -v n="$n" '
    $NF ~ /^[a-z_0-9]+$/ && $NF != "syscall" && $NF != "total" {
      if (FNR == NR) base[$NF] = $4; else diff[$NF] = $4 - base[$NF]
    }
    END {
      total = 0; list = ""
      for (s in diff) if (diff[s] / n >= 0.5) {
        total += diff[s] / n; list = list sprintf("%s%s %.0f", list == "" ? "" : ", ", s, diff[s] / n)
      }
      printf "%.0f (%s)", total, list
    }' "$out/st0" "$out/stn"
}
sys_ours="" sys_floor="" sys_block=""
if command -v strace >/dev/null; then
  echo "== system calls per lookup" >&2
  "$bin/lookup_syscalls" check >/dev/null
  sys_ours=$(syscalls ours)
  sys_floor=$(syscalls floor)
  sys_block=$(syscalls block)
fi

echo "== structdb build of the samples (whole program)" >&2
median_ms() {  # runs, command...
  local runs=$1; shift
  for ((r = 0; r < runs; ++r)); do
    local t0 t1
    t0=$(date +%s%N); "$@" >/dev/null; t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000))
  done | sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }'
}
mols=("$top"/data/molecules/*.mol)
sdb_all=$(median_ms 21 "$bin/structdb" build "$out/all" "${mols[@]}")
sdb_one=$(median_ms 21 "$bin/structdb" build "$out/one" "${mols[0]}")
usage_only() { "$bin/structdb" 2>/dev/null || true; }
sdb_start=$(median_ms 21 usage_only)

echo "== an SD file of 100,000 structures: structdb build against RDKit's SDMolSupplier" >&2
python3 "$top/bench/make_sdf.py" 100000 "$out/big.sdf"
sdf_build_ms=$(median_ms 3 "$bin/structdb" build --quiet --key-field CAS "$out/big" "$out/big.sdf")
sdf_rss=$( { /usr/bin/time -f '%M' "$bin/structdb" build --quiet --key-field CAS "$out/big" "$out/big.sdf" >/dev/null; } 2>&1 | tail -1)
read -r _ rd_plain_n rd_plain_s < <("$bin/sdf_rdkit" "$out/big.sdf" | grep '^plain')
read -r _ rd_san_n rd_san_s < <("$bin/sdf_rdkit" "$out/big.sdf" | grep '^sanitize')

echo "== CSSubset and CSIPack against reading their input ($reps repetitions)" >&2
"$bin/bench_tools" "${gb[@]}" --benchmark_repetitions="$reps" >"$out/tools.json"
echo "== how costs grow: 10^4, 10^5 and 10^6 records" >&2
"$bin/bench_lookup" "${gb[@]}" --benchmark_repetitions=3 --benchmark_filter='^scale/' \
  >"$out/scale.json"
"$bin/bench_userlib" --benchmark_format=json --benchmark_filter='^scale/' >"$out/scale_add.json"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# ------------------------------------------------------------------ report
# us per item of a benchmark's median: manual-time runs are one pass over a
# set (the counter items); lookups are one lookup an iteration.
# The median of a benchmark's repetitions (its only run with one repetition).
pick='[.benchmarks[] | select(.run_name == $n or .run_name == ($n + "/manual_time"))
       | select(.aggregate_name == "median" or .run_type == "iteration")]
      | (map(select(.aggregate_name == "median")) + .)[0]'
per_item() {  # file name
  jq -r --arg n "$2" "$pick"'
    | if . == null then "" else
        (.real_time * (if .time_unit == "ns" then 0.001 elif .time_unit == "ms" then 1000
                       else 1 end)) / (.items // 1) end' "$1"
}
bytes_of() {
  jq -r --arg n "$2" "$pick"' | .bytes // empty | floor' "$1"
}
fmt() {  # microseconds
  [ -n "$1" ] || { echo "n/a"; return; }
  awk -v v="$1" 'BEGIN {
    if (v < 10) printf "%.2f us", v; else if (v < 1000) printf "%.1f us", v; else printf "%.2f ms", v / 1000 }'
}
# Bytes a second of a benchmark's median (its real time).
rate_of() {  # file name
  jq -r --arg n "$2" '[.benchmarks[] | select(.run_name == ($n + "/real_time"))
    | select(.aggregate_name == "median" or .run_type == "iteration")]
    | (map(select(.aggregate_name == "median")) + .)[0] | .bytes_per_second // empty' "$1"
}
fmt_rate() {  # bytes a second
  [ -n "$1" ] || { echo "n/a"; return; }
  awk -v v="$1" 'BEGIN { if (v >= 1e9) printf "%.2f GB/s", v / 1e9; else printf "%.0f MB/s", v / 1e6 }'
}
rate_row() {  # workload set ours-bytes/s peer-bytes/s (the ratio is ours / peer)
  local r="n/a"
  if [ -n "$3" ] && [ -n "$4" ]; then r=$(awk -v a="$3" -v b="$4" 'BEGIN { printf "%.2f", a / b }'); fi
  printf '| %s | %s | %s | floor: 2,048-byte reads | %s | %s |\n' "$1" "$2" "$(fmt_rate "$3")" "$(fmt_rate "$4")" "$r"
}
ratio() {
  if [ -n "$1" ] && [ -n "$2" ]; then awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b / a }'; else echo "n/a"; fi
}
row() {  # workload set ours-us peer-label peer-us (no peer: label "—", no figure)
  if [ "$4" = "—" ]; then
    printf '| %s | %s | %s | — | — | — |\n' "$1" "$2" "$(fmt "$3")"
  else
    printf '| %s | %s | %s | %s | %s | %s |\n' "$1" "$2" "$(fmt "$3")" "$4" "$(fmt "$5")" "$(ratio "$3" "$5")"
  fi
}

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo
echo "Machine: $cpu, $(nproc) cores, $(uname -sr); load average $load_before before, $load_after after."
echo
echo "| workload | molecules | ours (median per item) | peer | peer (median per item) | peer / ours |"
echo "|---|---|---|---|---|---|"
for set in sample generated; do
  f=$out/$set.json
  n=$(jq -r '[.benchmarks[] | select(.items != null)][0].items' "$f")
  label="$set ($n)"
  o=$(per_item "$f" "import/ours/$set")
  row "MOL import" "$label" "$o" "RDKit, no sanitize" "$(per_item "$f" "import/rdkit/$set")"
  row "MOL import" "$label" "$o" "RDKit, sanitize" "$(per_item "$f" "import/rdkit_sanitize/$set")"
  row "MOL import" "$label" "$o" "Open Babel" "$(per_item "$f" "import/openbabel/$set")"
  row "PNG 300x300, in memory" "$label" "$(per_item "$f" "png/ours/$set")" "RDKit MolDraw2DCairo" "$(per_item "$f" "png/rdkit/$set")"
  o=$(per_item "$f" "svg/ours/$set")
  row "SVG 300x300" "$label" "$o" "RDKit MolDraw2DSVG" "$(per_item "$f" "svg/rdkit/$set")"
  row "SVG 300x300" "$label" "$o" "Open Babel svg" "$(per_item "$f" "svg/openbabel/$set")"
done
f=$out/lookup.json
o=$(per_item "$f" BM_IndexLookup)
row "CAS lookup, FindIndexEntry" "1,000,000 records" "$o" "SQLite, warm prepared statement" "$(per_item "$f" BM_SqliteLookup)"
row "CAS lookup, FindIndexEntry" "1,000,000 records" "$o" "SQLite, open/prepare/step/close" "$(per_item "$f" BM_SqliteStatelessLookup)"
row "CAS lookup, FindIndexEntry" "1,000,000 records" "$o" "bare POSIX floor (open, preads, close)" "$(per_item "$f" BM_PosixFloorLookup)"
per_mol=$(awk -v t="$sdb_all" 'BEGIN { printf "%.3f", t * 1000 / 80 }')
row "structdb build (whole program)" "sample (80)" "$per_mol" "—" ""
sdf_us=$(awk -v ms="$sdf_build_ms" 'BEGIN { printf "%.2f", ms * 1000 / 100000 }')
row "SD file to a library (structdb build)" "generated SD (100000)" "$sdf_us" "RDKit SDMolSupplier, no sanitize" "$(awk -v s="$rd_plain_s" 'BEGIN { printf "%.2f", s * 1e6 / 100000 }')"
row "SD file to a library (structdb build)" "generated SD (100000)" "$sdf_us" "RDKit SDMolSupplier, sanitize" "$(awk -v s="$rd_san_s" 'BEGIN { printf "%.2f", s * 1e6 / 100000 }')"
t=$out/tools.json
rate_row "CSSubset, 100,000 IDs, shuffled list (bytes read a second)" "1,000,000 records" "$(rate_of "$t" Subset/shuffled)" "$(rate_of "$t" SubsetFloor/shuffled)"
rate_row "CSSubset, 100,000 IDs, ascending list (bytes read a second)" "1,000,000 records" "$(rate_of "$t" Subset/ascending)" "$(rate_of "$t" SubsetFloor/ascending)"
rate_row "CSIPack, text index (bytes read a second)" "1,000,000 lines" "$(rate_of "$t" IndexPack)" "$(rate_of "$t" IndexPackFloor)"

echo
echo "How costs grow (medians per item):"
echo
echo "| cost | 10^4 records | 10^5 records | 10^6 records |"
echo "|---|---|---|---|"
c=$out/scale.json
a=$out/scale_add.json
echo "| lookup (FindIndexEntry, half misses) | $(fmt "$(per_item "$c" scale/lookup/10000)") | $(fmt "$(per_item "$c" scale/lookup/100000)") | $(fmt "$(per_item "$c" scale/lookup/1000000)") |"
echo "| record read in order (by number) | $(fmt "$(per_item "$c" scale/read_in_order/10000)") | $(fmt "$(per_item "$c" scale/read_in_order/100000)") | $(fmt "$(per_item "$c" scale/read_in_order/1000000)") |"
echo "| addition to a user library, random place | $(fmt "$(per_item "$a" scale/addition/10000/iterations:100)") | $(fmt "$(per_item "$a" scale/addition/100000/iterations:100)") | $(fmt "$(per_item "$a" scale/addition/1000000/iterations:100)") |"

s=$out/sample.json
g=$out/generated.json
echo
echo "Where our time goes (medians per item; samples / generated):"
echo "- MOL import: the lines read one by one through the platform (the way for files over 1 MB) $(fmt "$(per_item "$s" import/ours_lines_only/sample)") / $(fmt "$(per_item "$g" import/ours_lines_only/generated)") of $(fmt "$(per_item "$s" import/ours/sample)") / $(fmt "$(per_item "$g" import/ours/generated)"); one POSIX read of the whole file $(fmt "$(per_item "$s" import/posix_whole_file/sample)") / $(fmt "$(per_item "$g" import/posix_whole_file/generated)")."
echo "- PNG: drawing $(fmt "$(per_item "$s" png/ours_draw_only/sample)") / $(fmt "$(per_item "$g" png/ours_draw_only/generated)"), encoding alone (Cairo's writer, for comparison) $(fmt "$(per_item "$s" png/ours_encode_only/sample)") / $(fmt "$(per_item "$g" png/ours_encode_only/generated)") ($(bytes_of "$s" png/ours/sample) bytes; RDKit's PNG $(bytes_of "$s" png/rdkit/sample) bytes); the project's export to a file (/dev/null) $(fmt "$(per_item "$s" png/ours_to_file/sample)")."
echo -n "- PNG encoders on our samples' pictures:"
for v in libpng_l6_all libpng_l1_all libpng_l1_sub libpng_l1_up libpng_l1_none libpng_rle_none \
         libpng_rle_up libpng_palette_l1 libpng_palette_rle libdeflate_l1_none libdeflate_l3_none \
         libdeflate_l6_none; do
  [ -n "$(per_item "$s" "encode/$v/sample")" ] || continue
  echo -n " $v $(fmt "$(per_item "$s" "encode/$v/sample")") ($(bytes_of "$s" "encode/$v/sample") B);"
done
echo
echo "- SVG: the drawing calls recorded into a metafile instead $(fmt "$(per_item "$s" svg/ours_metafile_only/sample)") / $(fmt "$(per_item "$g" svg/ours_metafile_only/generated)"); sizes ours $(bytes_of "$s" svg/ours/sample) B, RDKit $(bytes_of "$s" svg/rdkit/sample) B, Open Babel $(bytes_of "$s" svg/openbabel/sample) B."
echo "- Lookup prototypes: floor reading the last 4 KiB at once $(fmt "$(per_item "$f" BM_PosixBlockLookup)"); index kept mapped, one fstat a lookup $(fmt "$(per_item "$f" BM_MappedLookup)")."
if [ -n "$sys_ours" ]; then
  echo "- System calls per lookup: FindIndexEntry $sys_ours; floor $sys_floor; 4 KiB prototype $sys_block."
fi
echo "- Tools: CSSubset $(fmt "$(per_item "$t" Subset/shuffled/real_time)") an ID from a shuffled list, $(fmt "$(per_item "$t" Subset/ascending/real_time)") from an ascending one; its bytes are the list, what FindIndexEntryIn's probes read for each ID and the records copied, though it reads a source index of up to 128 MB whole instead of searching it on disk. CSIPack $(awk -v t="$(per_item "$t" IndexPack/real_time)" 'BEGIN { printf "%.0f ns", t * 1000 }') a line; reading its input and writing its output in its blocks (256 KB and 1 MB), nothing else, $(fmt_rate "$(rate_of "$t" IndexPackReadWrite)")."
echo "- SD build of 100,000 structures: $sdf_build_ms ms, peak memory ${sdf_rss} KB (RDKit read $rd_plain_n molecules in ${rd_plain_s} s without sanitizing, ${rd_san_s} s with)."
echo "- structdb: build $sdb_all ms for 80 files, $sdb_one ms for one; start-up alone (usage message) $sdb_start ms."
