# bash completion of rostermill-cli: its commands, each command's options and
# the values an option takes. Self-contained, so it works without the
# bash-completion package's helpers.

_rostermill_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev= option= i command=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    # An option's value given as --option=VALUE: readline usually parts the
    # words at "=", and where it does not, the value is the rest of the word.
    local before=
    if [[ $cur == = && $prev == --* ]]; then
        option=$prev cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*} before=${cur%%=*}= cur=${cur#*=}
    else
        option=$prev
    fi

    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        search | apply | reveal) command=${COMP_WORDS[i]} && break ;;
        esac
    done

    local logon='--as --as-password-fd --no-ntlm'
    local options values=
    case $command in
    search)
        options="--user --group --builtin-admin --domain --browse --directory --ou --no-ou
                 --servers-only --no-servers-only --hidden --no-hidden --computers --ping --no-ping
                 --alive --format --all --timings --password-older-than --allow-simple-bind
                 --no-allow-simple-bind $logon --help"
        case $option in
        --format) values='table csv json' ;;
        --alive) values='icmp smb both' ;;
        --computers) values=@file ;;
        --user | --group | --domain | --ou | --password-older-than | --as | --as-password-fd) values=@none ;;
        esac
        ;;
    apply)
        options="--targets --user --set-password --password-fd --allow-empty-password --rename
                 --enable --disable --generate-unique --length --passphrase --recipient --record
                 --dry-run --yes -y --log-dir $logon --help"
        case $option in
        --targets | --record) values=@file ;;
        --log-dir) values=@dir ;;
        --user | --password-fd | --rename | --length | --passphrase | --recipient | --as | --as-password-fd)
            values=@none ;;
        esac
        ;;
    reveal)
        options='--computer --account --format --help'
        case $option in
        --format) values='table json' ;;
        --computer | --account) values=@none ;;
        esac
        ;;
    *)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--help' -- "$cur"))
        else
            COMPREPLY=($(compgen -W 'search apply reveal' -- "$cur"))
        fi
        return 0
        ;;
    esac

    # A value given after "=" belongs to a value-taking option only.
    [[ -n $before || $prev == = || $cur == = ]] && [[ -z $values ]] && return 0
    case $values in
    @none) return 0 ;;
    @file | @dir)
        compopt -o filenames 2>/dev/null
        local kind=-f
        [[ $values == @dir ]] && kind=-d
        local IFS=$'\n'
        COMPREPLY=($(compgen "$kind" -- "$cur"))
        ;;
    '')
        # Reveal's one operand is the file it reads; the other commands take
        # options (apply's targets are names no list holds).
        if [[ $command == reveal && $cur != -* ]]; then
            compopt -o filenames 2>/dev/null
            local IFS=$'\n'
            COMPREPLY=($(compgen -f -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
        fi
        return 0
        ;;
    *) COMPREPLY=($(compgen -W "$values" -- "$cur")) ;;
    esac
    [[ -n $before ]] && COMPREPLY=("${COMPREPLY[@]/#/$before}")
    return 0
}
complete -F _rostermill_cli rostermill-cli
