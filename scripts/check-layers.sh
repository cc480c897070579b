#!/bin/sh
# Fails when a file includes a layer above its own, or modules of the core
# include each other. The build refuses such
# includes already (each layer sees only the headers below it, and compiles
# through its own include root, so "../" finds nothing either); this names the
# rule file by file, for every form of an include: quoted or in angle
# brackets, indented, with "../" in its path. The front-ends reach the core
# through the window layer, the commands and the model alone, and three basic
# helpers for names, shown texts and the program's place.
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
    src/window/*) echo "basic model commands window" ;;
    # Where the system hands over or takes a file name, a front-end turns it
    # into a path and back through basic/path_text.h; where a text meets a
    # person, it is shown through basic/display_text.h; basic/executable.h
    # tells where the program lives.
    # The converter and the web page are front-ends without a desktop window.
    app/convert/* | app/web/*) echo "model commands basic/path_text.h basic/display_text.h basic/executable.h" ;;
    app/*) echo "model commands window basic/path_text.h basic/display_text.h basic/executable.h" ;;
  esac
}
# The project's headers an include names: the folder of the file's layer is
# what counts, so "../" and "./" steps are dropped; system headers (<vector>,
# <QWidget>) name no folder of ours.
included() {
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]\([^>"]*\)[>"].*/\1/p' "$1" |
    sed 's#^\(\.\./\|\./\)*##; s#^src/##' | grep -E '^(basic|model|import|html_out|uddf_out|commands|window)/' | sort -u
}
files=$(git ls-files 'src/*.h' 'src/*.cpp' 'app/*.h' 'app/*.cpp' 2>/dev/null || true)
if [ -z "$files" ]; then
  echo "no source files to check: run this in a git checkout of the project" >&2
  exit 1
fi
status=0
for file in $files; do
  layers=$(allowed "$file")
  for header in $(included "$file"); do
    used=${header%%/*}
    case " $layers " in
      *" $used "* | *" $header "*) ;;
      *) echo "$file includes $header, from a layer it must not reach"; status=1 ;;
    esac
  done
done
# Within the core, no two modules include each other, however indirectly:
# tsort finds a loop among the edges from each file's module to the modules
# it includes ("module" being a header with its .cpp).
edges=$(for file in $(printf '%s\n' $files | grep '^src/'); do
  module=${file#src/}
  module=${module%.*}
  for header in $(included "$file"); do
    [ "${header%.h}" = "$module" ] || echo "$module ${header%.h}"
  done
done)
if ! printf '%s\n' "$edges" | tsort >/dev/null 2>&1; then
  printf '%s\n' "$edges" | tsort 2>&1 >/dev/null | sed 's/^tsort: -: /include cycle: /'
  status=1
fi
exit $status
