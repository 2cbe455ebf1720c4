#!/bin/sh
# Checks the manual pages against the formatter and against the programs they describe:
#   check-pages.sh PAGE_FOLDER BUILT_PAGE_FOLDER PRESSLING PRESSLING_CLI
# Every warning of man or groff fails (a page that renders with warnings renders wrongly for
# someone), and so does a command or a long option that a program's --help names and its page
# does not: the pages follow the programs, whose --help texts are the ones kept up to date.
set -u
pages=$1
built=$2
pressling=$3
pressling_cli=$4
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The page as a reader sees it, on one long line per paragraph and without hyphenation, so that
# no word is split across lines.
rendered() {
    groff -man -Tascii -P-cbou -rLL=4000n -rHY=0 "$1" 2>/dev/null
}

for page in pressling.1 pressling-cli.1; do
    for width in 60 80 120; do
        warnings=$(MANWIDTH=$width man --warnings -l "$pages/$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns about $page at $width columns: $warnings"
    done
    warnings=$(groff -man -ww -z "$pages/$page" 2>&1)
    [ -z "$warnings" ] || fail "groff warns about $page: $warnings"

    # The installed page is the source, compressed without a name or a time in its header.
    zcat "$built/$page.gz" | cmp -s - "$pages/$page" || fail "$built/$page.gz is not $page"
    header=$(od -An -tu1 -N8 "$built/$page.gz" | tr -s ' ')
    case $header in
    " 31 139 8 0 0 0 0 0") ;;
    *) fail "$page.gz has a name or a time in its header:$header" ;;
    esac
done

# Each long option of a help text must be on the page.
check_options() {
    help_text=$1
    page=$2
    what=$3
    options=$(printf '%s\n' "$help_text" | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
    [ -n "$options" ] || fail "$what names no long option (the check would check nothing)"
    text=$(rendered "$pages/$page")
    for option in $options; do
        printf '%s\n' "$text" | grep -q -F -e "$option" || fail "$page leaves out $option of $what"
    done
}

# The help of the desktop program needs no display, whatever Qt would be told to use.
help_text=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$pressling" --help)
status=$?
[ "$status" -eq 0 ] || fail "pressling --help without a display ended with $status"
printf '%s\n' "$help_text" | head -n 1 | grep -q -x -F 'Usage: pressling [FOLDER]' \
    || fail "pressling --help does not begin with its usage line"
check_options "$help_text" pressling.1 "pressling --help"

verbs=$("$pressling_cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$verbs" ] || fail "pressling-cli --help lists no command"
cli_page=$(rendered "$pages/pressling-cli.1")
for verb in $verbs; do
    printf '%s\n' "$cli_page" | grep -q -x -F "   $verb" || fail "pressling-cli.1 has no section for $verb"
    printf '%s\n' "$cli_page" | grep -q -F "pressling-cli $verb" || fail "pressling-cli.1 shows no pressling-cli $verb"
    verb_help=$("$pressling_cli" "$verb" --help)
    if printf '%s\n' "$verb_help" | grep -q -- '--[a-z]'; then
        check_options "$verb_help" pressling-cli.1 "pressling-cli $verb --help"
    fi
done
printf '%s\n' "$verbs" | grep -q -x publish || fail "pressling-cli --help does not list publish"

[ "$failures" -eq 0 ] || exit 1
echo "the manual pages render without warnings and name every command and option"
