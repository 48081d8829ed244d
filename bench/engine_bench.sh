#!/bin/bash
# The table engine against cat and pgdbf on the same files, in one sitting:
# for each size, a store's product table in code order (as `kaslo init
# --products` writes it) and the same rows in a random order, each timed by
# hyperfine (medians), with the peak memory of read and index.
#
#   bench/engine_bench.sh BIN_DIR [SIZES...]     (default 10000 100000 1000000)
#
# RUNS sets hyperfine's runs (default 10). The tables are made in a fresh
# folder under /var/tmp and removed at the end.
set -euo pipefail

bin=$(cd "${1:?usage: engine_bench.sh BIN_DIR [SIZES...]}" && pwd)
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000 1000000)
runs=${RUNS:-10}
for tool in hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "engine_bench.sh: $tool is missing (apt-get install hyperfine time)" >&2; exit 1; }
done
pgdbf=$(command -v pgdbf || true)

work=$(mktemp -d /var/tmp/kaslo-engine-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

for n in "${sizes[@]}"; do
  "$bin/kaslo" init "$work/code$n" --products "$n" >/dev/null
  "$bin/kaslo-bench" shuffle "$work/code$n/YCOPRO.DBF" "$work/random$n" >/dev/null
done

printf '| order | rows | cat ms | read ms | read/cat | index ms | index/cat | (index-read)/row us | dump ms | pgdbf ms | dump/pgdbf | read peak/file | index peak/file |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for n in "${sizes[@]}"; do
  for order in code random; do
    dir="$work/$order$n"
    file="$dir/YCOPRO.DBF"
    commands=("cat $file" "$bin/kaslo-bench read $file" "$bin/kaslo-bench index $file"
              "$bin/kaslo dump $dir YCOPRO --format csv")
    [ -n "$pgdbf" ] && commands+=("$pgdbf -s LATIN1 $file")
    hyperfine -N -w 3 -r "$runs" --export-json "$work/times.json" "${commands[@]}" >/dev/null 2>&1
    read_kb=$(/usr/bin/time -f %M "$bin/kaslo-bench" read "$file" 2>&1 >/dev/null | tail -1)
    index_kb=$(/usr/bin/time -f %M "$bin/kaslo-bench" index "$file" 2>&1 >/dev/null | tail -1)
    /usr/bin/python3 - "$work/times.json" "$order" "$n" "$(stat -c %s "$file")" "$read_kb" "$index_kb" <<'EOF'
import json, statistics, sys
results = json.load(open(sys.argv[1]))["results"]
ms = [statistics.median(r["times"]) * 1000 for r in results]
order, rows, size, read_kb, index_kb = sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]), int(sys.argv[6])
cat, read, index, dump = ms[:4]
pg = ms[4] if len(ms) > 4 else float("nan")
print(f"| {order} | {rows} | {cat:.1f} | {read:.1f} | {read / cat:.2f} | {index:.1f} | {index / cat:.2f} | "
      f"{(index - read) * 1000 / rows:.3f} | {dump:.1f} | {pg:.1f} | {dump / pg:.2f} | "
      f"{read_kb * 1024 / size:.2f} | {index_kb * 1024 / size:.2f} |")
EOF
  done
done
