#!/bin/sh
# Fails when a file includes a layer above its own. The build refuses most
# such includes already (each layer sees only the headers below it); this
# also names the front-ends' rule: they reach the core through the commands
# and the model alone, and two basic helpers for names and shown texts.
set -eu
cd "$(dirname "$0")/.."
allowed() {
  case "$1" in
    src/basic/*) echo "basic" ;;
    src/model/*) echo "basic model" ;;
    src/import/*) echo "basic model import" ;;
    src/html_out/*) echo "basic model html_out" ;;
    src/uddf_out/*) echo "basic model uddf_out" ;;
    src/commands/*) echo "basic model import html_out uddf_out commands" ;;
    # Where the system hands over or takes a file name, a front-end turns it
    # into the program's 8-bit text and back through basic/path_text.h; where
    # a text meets a person, it is shown through basic/display_text.h.
    app/*) echo "model commands basic/path_text.h basic/display_text.h" ;;
  esac
}
status=0
for file in $(git ls-files 'src/*.h' 'src/*.cpp' 'app/*.h' 'app/*.cpp'); do
  layers=$(allowed "$file")
  for header in $(sed -n 's|^#include "\([a-z_]*/[^"]*\)".*|\1|p' "$file" | sort -u); do
    used=${header%%/*}
    case " $layers " in
      *" $used "* | *" $header "*) ;;
      *) echo "$file includes from $used/, a layer it must not reach"; status=1 ;;
    esac
  done
done
exit $status
