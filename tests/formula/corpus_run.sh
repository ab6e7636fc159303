#!/bin/sh
# Runs every formula of a folder with `vantor-cli eval` over one data file and counts the
# formulas that run; each failure is listed with the first line of its message.
# Usage: scripts/corpus_run.sh [CLI] [DATA] [FOLDER]
cli=${1:-build/app/vantor-cli}
data=${2:-data/sample/daydata/IFL8.txt}
folder=${3:-tests/formula/data/corpus}
ok=0
total=0
for f in "$folder"/*.txt; do
    total=$((total + 1))
    if msg=$("$cli" eval "$data" --file "$f" 2>&1 >/dev/null); then
        ok=$((ok + 1))
    else
        printf '%s\t%s\n' "$(basename "$f" .txt)" "$(printf '%s' "$msg" | tr '\r\n' '  ' | cut -c1-160)"
    fi
done
echo "$ok of $total formulas run"
