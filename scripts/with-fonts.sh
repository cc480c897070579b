#!/bin/sh
# Runs a command with one font family alone visible to it, so that the
# windows' texts are shown in that face whatever they ask for: FAMILY is
# dejavu (fonts-dejavu-core and -extra) or liberation (fonts-liberation2).
set -eu
if [ $# -lt 2 ]; then
  echo "usage: with-fonts.sh dejavu|liberation COMMAND [ARG...]" >&2
  exit 2
fi
family=$1
shift
case "$family" in
  dejavu) fonts=/usr/share/fonts/truetype/dejavu ;;
  liberation) fonts=/usr/share/fonts/truetype/liberation2 ;;
  *) echo "with-fonts.sh: no font family $family" >&2; exit 2 ;;
esac
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
cat >"$config/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$fonts</dir><cachedir>$config/cache</cachedir></fontconfig>
EOF
FONTCONFIG_FILE="$config/fonts.conf" "$@"
