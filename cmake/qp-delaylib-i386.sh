#!/bin/sh
# Makes an i386 delay-load library usable: GNU ld drops the call thunks of members that sit in
# ".idata$" sections (it takes them for ordinary import thunks that nothing calls), and the first
# call through such a library jumps to address 0. Out of ".idata$" and into ".data$" sections of
# their own, ordered per DLL (head, entries, tail), the same members link and work.
#   qp-delaylib-i386.sh TOOL_PREFIX LIBRARY TAG
set -e
prefix=$1 lib=$2 tag=$3
work=$lib.d
rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$prefix-ar" x "$lib"
for o in *.o; do
  case $o in *_h.o) k=a ;; *_t.o) k=c ;; *) k=b ;; esac
  "$prefix-objcopy" \
    --rename-section ".idata\$5=.data\$qpd_${tag}_5$k" --rename-section ".idata\$4=.data\$qpd_${tag}_4$k" \
    --rename-section ".idata\$6=.data\$qpd_${tag}_6" --rename-section ".idata\$7=.data\$qpd_${tag}_7" "$o"
done
rm -f "$lib"
"$prefix-ar" rcs "$lib" *.o
cd ..
rm -rf "$work"
