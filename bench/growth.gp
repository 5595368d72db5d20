# Time per item against size, from scripts/bench.sh: a flat line is linear growth.
# Usage: gnuplot -e "data='growth.dat'; out='growth.png'" growth.gp
set terminal pngcairo size 720,420 font ",10"
set output out
set title "norbix: cost per item as the input grows (flat = linear)"
set logscale x 10
set xlabel "instances (XML) / entries (ULK)"
set ylabel "processor microseconds per item"
set yrange [0:*]
set grid
set key top left
set format x "10^{%L}"
plot data index 0 using 1:3 with linespoints lw 2 title "XML write", \
     data index 1 using 1:3 with linespoints lw 2 title "XML read", \
     data index 2 using 1:3 with linespoints lw 2 title "ULK collection"
