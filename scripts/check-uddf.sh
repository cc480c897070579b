#!/bin/sh
# Validates the UDDF files that quellmar-convert --uddf writes of the bundled
# sample and of the real dives beside the project (where they are) against
# the published UDDF 3.2.3 schema, which the project does not copy.
set -eu
cd "$(dirname "$0")/.."
schema=../shared/uddf/uddf_3.2.3.xsd
convert=build/release/bin/quellmar-convert
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for export in examples/logbook.csv ../shared/realdives/logbook.csv; do
  [ -f "$export" ] || { echo "$export: not there, skipped"; continue; }
  "$convert" --quiet --uddf "$scratch/logbook.uddf" "$export" >/dev/null
  xmllint --noout --schema "$schema" "$scratch/logbook.uddf"
done
