#!/bin/sh
# Writes the sample quote pages next to this script.
#
# A quote page file is the symbol count as 2 bytes little-endian, then each
# symbol as a 1-byte length followed by its bytes. The 1-byte length and the
# 2-byte count are enough here: symbols are at most 6 characters and no page
# holds 65535 of them. Every ticker below is made up.
set -eu

cd "$(dirname "$0")"

# Emits one byte given as a decimal number; octal escapes keep this portable
# to any POSIX printf.
byte() {
    printf "\\$(printf '%03o' "$1")"
}

# write_page FILE SYMBOL...
write_page() {
    file=$1
    shift
    for sym in "$@"; do
        case $sym in
            '' | *[!A-Z0-9]*) echo "make-examples: bad symbol '$sym'" >&2; exit 1 ;;
        esac
        if [ ${#sym} -gt 6 ]; then
            echo "make-examples: symbol '$sym' is longer than 6 characters" >&2
            exit 1
        fi
    done
    tmp=$file.tmp
    {
        byte $(($# % 256))
        byte $(($# / 256))
        for sym in "$@"; do
            byte ${#sym}
            printf '%s' "$sym"
        done
    } > "$tmp"
    mv "$tmp" "$file"
}

write_page tech.quo    ACME GLOBX INITC NOVA2 ORBT QUAD3
write_page energy.quo  SUNF1 WNDX2 HYDR3 GRDX4 FUEL5
write_page indexes.quo TVX25 TVX100 TVXSML TVXTEC
