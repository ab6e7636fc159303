#!/bin/sh
# Renders the pictures of the README's drawing section: the four built-in indicators
# that draw, and the ten formulas in docs/drawing/formulas/, over the last 200 days of
# the bundled IF sample. Run from the repository root after building vantor-cli.
set -e
cli=${CLI:-build/app/vantor-cli}
bars=data/sample/daydata/IFL8.txt
out=docs/drawing
render() { # NAME WINDOW FORMULA
    "$cli" render "$bars" --last 200 --width 480 --height 320 --windows 2 \
        --formula "$2=$3" --out "$out/$1.png"
}
for f in FSL BDT DB6 TEST; do render "$f" 1 "$f"; done
for f in NineTurns ICHIMOKU CFJT; do render "$f" 0 "$out/formulas/$f.txt"; done
for f in Dragon4_Main BTX Dragon4_Fig FundsAnalysis TJCJL WSBVOL FXG_INDEX3; do
    render "$f" 1 "$out/formulas/$f.txt"
done
