#!/bin/sh
# The product files at store scale: `kaslo export` and the full `kaslo import`
# (tables swapped in and tags built) of NLUFILE.MTR, timed in one hyperfine
# run with `kaslo dump` of the same product table, to which the figures are
# compared.
#
#   bench/interchange_bench.sh build/bin [PRODUCTS]
set -eu
BIN=$(cd "${1:?usage: $0 BIN_DIR [PRODUCTS]}" && pwd)
PRODUCTS=${2:-100000}
DIR=$(mktemp -d "${TMPDIR:-/var/tmp}/kaslo-interchange-bench.XXXXXX")
trap 'rm -rf "$DIR"' EXIT INT TERM

"$BIN/kaslo" init "$DIR" --products "$PRODUCTS" >/dev/null
"$BIN/kaslo" export "$DIR" nlufile --yes >/dev/null
ls -l "$DIR/YCOPRO.DBF" "$DIR/NLUFILE.MTR"
hyperfine -N -w 2 -r "${RUNS:-10}" \
  "$BIN/kaslo dump $DIR YCOPRO --format csv" \
  "$BIN/kaslo export $DIR nlufile --yes" \
  "$BIN/kaslo import $DIR nlufile --yes"
