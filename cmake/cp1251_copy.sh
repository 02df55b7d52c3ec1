#!/bin/sh
# Copies a UTF-8 source to code page 1251 for the fuzz build (cmake/fuzz.cmake): SOURCE COPY.
# A u8"..." literal must stay UTF-8, so its characters beyond ASCII are written as octal escapes
# of their UTF-8 bytes first (octal, because a hexadecimal escape would swallow a following
# letter "a" to "f"); everything else is converted.
set -e
perl -pe 's{u8"((?:[^"\\]|\\.)*)"}{my $s = $1; $s =~ s/([\x80-\xff])/sprintf("\\%03o", ord $1)/ge; "u8\"$s\""}ge' "$1" |
  iconv -f UTF-8 -t CP1251//TRANSLIT -o "$2"
