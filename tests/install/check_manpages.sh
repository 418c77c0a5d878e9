#!/usr/bin/env bash
# The manual pages keep step with the programs: milvane-cli(1) names exactly
# the commands and options of `milvane-cli --help` and each `COMMAND --help`,
# milvane(1) the options the program reads, and the two pages together every
# environment variable the sources read.
#   check_manpages.sh SOURCE_DIR MILVANE_CLI
set -euo pipefail
src="$1"
cli="$2"
status=0

# Long options and command names as the pages write them (\-\-data, .BI backup).
page_options() { sed 's/\\-/-/g' "$1" | grep -o -- '--[a-z][a-z-]*' | sort -u; }
page_commands() { sed -n '/^\.SH COMMANDS/,/^\.SH /p' "$1" | grep -A1 '^\.TP' | sed -n 's/^\.BI\{0,1\} \([a-z]*\).*/\1/p' | sort -u; }
words_only_in() {  # what $2 lacks of $1, one a line
  comm -23 <(printf '%s\n' "$1") <(printf '%s\n' "$2") | sed '/^$/d'
}
compare() {  # what, from the program, from the page
  local missing extra
  missing=$(words_only_in "$2" "$3")
  extra=$(words_only_in "$3" "$2")
  if [ -n "$missing" ]; then echo "manual page lacks $1: $(echo $missing)" >&2; status=1; fi
  if [ -n "$extra" ]; then echo "manual page has $1 the program lacks: $(echo $extra)" >&2; status=1; fi
}

usage=$("$cli" --help)
commands=$(printf '%s\n' "$usage" | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p' | sort -u)
[ -n "$commands" ] || { echo "no commands in milvane-cli --help" >&2; exit 1; }
help_text="$usage"
for c in $commands; do help_text+=$'\n'$("$cli" "$c" --help); done
help_options=$( (printf '%s\n' "$help_text" | grep -o -- '--[a-z][a-z-]*'; echo --help) | sort -u)
compare "milvane-cli commands" "$commands" "$(page_commands "$src/docs/man/milvane-cli.1")"
compare "milvane-cli options" "$help_options" "$(page_options "$src/docs/man/milvane-cli.1")"

# The window program has no --help: its options are the ones main's option
# reader compares with.
app_options=$(grep -rhoE 'strcmp\(argv\[i\], "--[a-z-]+"\)' "$src/src" | grep -oE -- '--[a-z-]+' | sort -u)
compare "milvane options" "$app_options" "$(page_options "$src/docs/man/milvane.1")"

# Every variable the sources read is in an ENVIRONMENT section (USER only
# stands in for a user name the system cannot give).
env_read=$(grep -rhoE '(getenv|qgetenv|Env)\("[A-Z_]+"\)' "$src/src" "$src/cli" "$src/programs" \
           | grep -oE '"[A-Z_]+"' | tr -d '"' | grep -vx USER | sort -u)
env_pages=$(for p in milvane milvane-cli; do
              sed -n '/^\.SH ENVIRONMENT/,/^\.SH /p' "$src/docs/man/$p.1" | grep -A1 '^\.TP' | sed -n 's/^\.B \([A-Z_]*\)$/\1/p'
            done | sort -u)
missing=$(words_only_in "$env_read" "$env_pages")
if [ -n "$missing" ]; then echo "manual pages lack the variables $(echo $missing)" >&2; status=1; fi
exit $status
