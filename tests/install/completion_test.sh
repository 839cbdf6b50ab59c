#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bash completion, driven as bash drives it: account names complete so that the completed
# command gives the program the whole name, and loading or using the completion changes no
# shell option. Usage: completion_test.sh COMPLETION_FILE PROGRAM_FOLDER
completion=$1
PATH="$2:$PATH"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "$*"
    failures=$((failures + 1))
}

list="$work/accounts list.dat"
printf '%s\r\n' "Everyday Current,CHECKING,GBP,1,2,3" "Rainy Day Savings,SAVINGS,GBP,4,5,6" \
    "Bob's Card,CREDIT,GBP,7,,8" "Evening Fund,SAVINGS,GBP,9,9,9" >"$list"
printf -v quoted_list '%q' "$list"

options() { shopt -p; set +o; }
before=$(options)
# shellcheck source=/dev/null
source "$completion"
[[ $(options) == "$before" ]] || fail "loading the completion changed shell options"

# Completes the last of the words, each given as typed; prints each candidate on a line.
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _qif2ldx
    printf '%s\n' "${COMPREPLY[@]}"
}
typed=(qif2ldx convert in.qif --account-list "$quoted_list" -a)

# word typed, what closes the quote the word opens (as readline does), the name it must give
while IFS='|' read -r word closing name; do
    replies=$(complete_line "${typed[@]}" "$word")
    [[ $(wc -l <<<"$replies") -eq 1 && -n $replies ]] || { fail "$word: got '$replies'"; continue; }
    opening=${word:0:1}
    [[ $opening == \" || $opening == \' ]] || opening=
    eval "set -- ${typed[*]} $opening$replies$closing"
    [[ ${!#} == "$name" ]] || fail "$word completes to '${!#}', not '$name'"
done <<'CASES'
Everyday\ C||Everyday Current
Rai||Rainy Day Savings
"Rai|"|Rainy Day Savings
'Every|'|Everyday Current
Bob||Bob's Card
CASES

[[ $(complete_line "${typed[@]}" Ev | sort) == $'Evening\\ Fund\nEveryday\\ Current' ]] ||
    fail "Ev: both names starting with Ev"
[[ $(complete_line qif2ldx convert in.qif --date-order m) == mdy ]] || fail "--date-order"
[[ $(options) == "$before" ]] || fail "completing changed shell options"

echo "$((failures == 0)) passed, $((failures != 0)) failed"
exit $((failures != 0))
