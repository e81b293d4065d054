#!/usr/bin/env bash
# Remakes docs/chart-vs-bishop.png: the chart's angle less Bishop's steepest
# angle (the fast path) over the friction angle and c / (gamma H), for FS
# 1.0, 1.3 and 1.5, and prints the numbers behind docs/design.md's section on
# the check, from the chart_vs_bishop target of the release build.
# Installs g++, CMake and gnuplot-nox if missing.
#   scripts/chart_vs_bishop.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh g++ cmake gnuplot-nox
dir=build/release
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DTELK_TESTS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target chart_vs_bishop >/dev/null
"$dir/chart_vs_bishop" grid > "$dir/grid.dat"
"$dir/chart_vs_bishop" summary

# c / (gamma H) is drawn on a square-root scale, labelled in its own values.
ytics=""
for v in 0 0.01 0.02 0.05 0.1 0.2 0.3 0.4 0.5 0.6; do
  ytics+="\"$v\" sqrt($v), "
done
gnuplot <<EOF
set terminal pngcairo size 900,400 font "DejaVu Sans,10"
set output "docs/chart-vs-bishop.png"
set multiplot layout 1,3 title "The chart's angle less Bishop's steepest angle (the fast path), in degrees\nblue: the chart is flatter, on the safe side; red: the chart is steeper; grey: the chart gives no angle" font ",10"
set xrange [0:60]
set yrange [0:sqrt(0.6)]
set xtics 10
set ytics (${ytics%, })
set cbrange [-16:4]
set cbtics 2
set palette defined (-16 "#053061", -8 "#4393c3", -2 "#d1e5f0", 0 "#ffffff", 1 "#f4a582", 2.5 "#d6604d", 4 "#67001f")
set object 1 rectangle from graph 0,0 to graph 1,1 behind fillcolor rgb "#bdbdbd" fillstyle solid noborder
set grid front lc rgb "#999999" lw 0.5
set xlabel "friction angle φ (degrees)"
unset colorbox
set lmargin 7
set rmargin 1
set ylabel "c / (γ H)" offset 1,0
set title "FS 1.0"
plot "$dir/grid.dat" index 0 using 1:2:3 with image notitle
unset ylabel
set lmargin 4
set title "FS 1.3"
plot "$dir/grid.dat" index 1 using 1:2:3 with image notitle
set colorbox user origin 0.947,0.19 size 0.013,0.6
set rmargin 7
set title "FS 1.5"
plot "$dir/grid.dat" index 2 using 1:2:3 with image notitle
unset multiplot
EOF
echo "chart_vs_bishop: wrote docs/chart-vs-bishop.png ($(stat -c %s docs/chart-vs-bishop.png) bytes)"
