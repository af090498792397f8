#!/bin/sh
# The Windows build under Wine, over links that the host made (the Windows
# build's C++ library cannot make links itself, so there
# Program.SymlinkLoopIsWalkedOnce is skipped). Wine shows a POSIX link to a
# directory as a directory: a link back up the tree must not be walked round
# and round, a second way into a directory is walked once more.
#
# Usage: wine_links_test.sh EMULATOR XMLSWEEP_EXE
set -eu
emulator=$1
exe=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

mkdir "$root/a"
printf x > "$root/a/x.xml"
ln -s .. "$root/a/up"
ln -s a "$root/link"

status=0
(cd "$root" && "$emulator" "$exe") || status=$?
win=$("$emulator" winepath -w "$root" | tr -d '\r')
failure="ParseError : x.xml Line:1, Col:1 '<' expected"
# The order of a directory's entries is the system's: compare sorted lines.
printf '%s\r\n' "$failure" "CheckFile:$win\\a\\x.xml Fail~~" \
                "$failure" "CheckFile:$win\\link\\x.xml Fail~~" > "$root/want"
printf 'Total 2 Files Verification Failed' >> "$root/want"

if [ "$status" -ne 2 ] || [ "$(sort "$root/result.txt")" != "$(sort "$root/want")" ]; then
  echo "exit status $status, expected 2; result.txt:"
  cat "$root/result.txt"
  exit 1
fi
echo "walked the links once: status 2, report as expected"
