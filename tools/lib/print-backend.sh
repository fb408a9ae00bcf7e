#!/bin/sh
# The print server's backend for the tests' PDF queues (device URI
# "gantrelpdf:/folder"): turns each job, the PostScript the program's
# printer driver makes, into /folder/job-<id>.pdf. The file appears whole,
# under its final name, only when it is complete.
if [ $# -eq 0 ]; then
    echo 'file gantrelpdf "Unknown" "PDF files for the tests"'
    exit 0
fi
umask 022
dir=${DEVICE_URI#gantrelpdf:}
partial="$dir/.job-$1.pdf"
if [ $# -ge 6 ]; then input=$6; else input=-; fi
/usr/bin/gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$partial" "$input" >&2 || exit 1
mv "$partial" "$dir/job-$1.pdf"
