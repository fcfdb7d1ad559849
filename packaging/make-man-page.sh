#!/usr/bin/env bash
# Writes the manual page cordshift-cli(1), gzipped, from the built program's
# own --help texts (the main one and each command's) and --version, so that
# no option is described twice; INCLUDE adds what --help does not say
# (help2man's include file: examples, files).
#
#   packaging/make-man-page.sh CLI INCLUDE OUTPUT.1.gz
set -euo pipefail

cli=${1:?usage: make-man-page.sh CLI INCLUDE OUTPUT.1.gz}
include=${2:?usage: make-man-page.sh CLI INCLUDE OUTPUT.1.gz}
output=${3:?usage: make-man-page.sh CLI INCLUDE OUTPUT.1.gz}
work=$(mktemp -d "$(dirname "$output")/man-page.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The blocks of CLI11's help that help2man turns into sections: the lines
# before "Usage:" are the description; the option lines of "Positionals:"
# and "Options:" (without their headings) are the options.
description() { sed '/^Usage: /,$d'; }
usage() { sed -n 's/^Usage: //p'; }
options() { sed -n '/^\(Positionals\|Options\):$/,/^$/{/^  /p}'; }
# The footer: "Exit status: ..." becomes its own section, the rest (what
# goes to which stream) an "Output" section; the pointer to the commands'
# --help is for the terminal only.
footer() {
  awk '
    /^Subcommands:$/ { skip = 1; next }
    skip && /^$/ { skip = 0; footer = 1; next }
    !footer || skip { next }
    /^Exit status: / { sub(/^Exit status: /, ""); exit_text = $0; next }
    /^Run '\''/ { next }
    !output { print "*Output*"; output = 1 }
    # A line ending in ":" followed by an indented one would become a
    # subsection; each indented line is a paragraph of its own.
    /^ / { if (!indented) print ""; print; print ""; indented = 1; next }
    { print; indented = 0 }
    END { print ""; print "*Exit status*"; print exit_text }'
}

main_help=$("$cli" --help)
mapfile -t commands < <(sed -n '/^Subcommands:$/,/^$/s/^  \([a-z-]*\) .*/\1/p' <<<"$main_help")
[ ${#commands[@]} -gt 0 ] || { echo "make-man-page: no commands in --help" >&2; exit 1; }
{
  description <<<"$main_help"
  first=1
  for command in "${commands[@]}"; do
    if [ $first -eq 1 ]; then printf 'Usage: '; else printf '  or:  '; fi
    first=0
    "$cli" "$command" --help | usage
  done
  echo
  echo "Options:"
  options <<<"$main_help"
  echo
  for command in "${commands[@]}"; do
    command_help=$("$cli" "$command" --help)
    # help2man makes a subsection of a line that ends in ":" followed by
    # an indented one.
    echo "$(usage <<<"$command_help" | sed 's/^cordshift-cli //'):"
    description <<<"$command_help" | sed 's/^/  /'
    echo
    # Each command's -h,--help is the main one, listed above.
    options <<<"$command_help" | grep -v '^  -h,--help '
    echo
  done
  footer <<<"$main_help"
} >"$work/help.txt"

# help2man runs the program it documents; this one answers from the texts
# above and passes --version on.
cat >"$work/cordshift-cli" <<EOF
#!/bin/sh
case "\$1" in
  --help) cat '$work/help.txt' ;;
  *) exec '$cli' "\$@" ;;
esac
EOF
chmod +x "$work/cordshift-cli"

help2man --no-info --section=1 --manual="User Commands" \
  --include="$include" --output="$work/cordshift-cli.1" "$work/cordshift-cli"
# A subsection's title keeps no trailing colon.
sed -i 's/^\.SS "\(.*\):"$/.SS "\1"/' "$work/cordshift-cli.1"
gzip -9n <"$work/cordshift-cli.1" >"$output"
