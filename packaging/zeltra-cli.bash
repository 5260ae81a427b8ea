# bash completion for zeltra-cli: commands, options, block names, kinds, paper sizes, ports
# (from `zeltra-cli ports`) and files by the extension each command takes.

# The block list of a kind, as the connect window lists it (`--block` takes any of them).
_zeltra_cli_blocks()
{
    case $1 in
    machine) printf '%s\n' All Keyboard 'Unit Config' 'Port A Config' 'Port B Config' Locates \
        Loops 'GPO TC' 'Zq Macros' ;;
    monitor) printf '%s\n' All Keyboard 'Unit Config' 'Format Assign' 'Monitor Formats' \
        'Dim + Other' ;;
    *) { _zeltra_cli_blocks machine; _zeltra_cli_blocks monitor; } | awk '!seen[$0]++' ;;
    esac
}

# The kind of a layout file, from its size: 484 bytes machine, 364 monitor.
_zeltra_cli_file_kind()
{
    [[ -f $1 ]] || return
    case $(wc -c < "$1" 2>/dev/null) in
    484) echo machine ;;
    364) echo monitor ;;
    esac
}

# Words after the command that are not options or option values.
_zeltra_cli_positional()
{
    local i w skip=0 out=()
    for ((i = 2; i < COMP_CWORD; i++)); do
        w=${COMP_WORDS[i]}
        if ((skip)); then
            skip=0
        elif [[ $w == --port || $w == --block || $w == --kind || $w == --page ]]; then
            skip=1
        elif [[ $w != -* ]]; then
            out+=("$w")
        fi
    done
    ((${#out[@]})) && printf '%s\n' "${out[@]}"
}

# The value of an option given earlier on the line.
_zeltra_cli_value()
{
    local i
    for ((i = 2; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == "$1" ]]; then
            printf '%s\n' "${COMP_WORDS[i + 1]}"
            return
        fi
    done
}

# Matches of the word being completed among lines on stdin, quoted for the shell (fed by a
# redirection, not a pipe, so that COMPREPLY is set in this shell).
_zeltra_cli_match()
{
    local cur=$1 line
    cur=${cur//\\/}
    cur=${cur#[\"\']}
    COMPREPLY=()
    while IFS= read -r line; do
        [[ -n $line && $line == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$line")")
    done
}

_zeltra_cli_files()
{
    local cur=$1 ext pattern=""
    shift
    for ext; do
        pattern+="${pattern:+|}*.$ext"
    done
    compopt -o filenames 2>/dev/null
    COMPREPLY=()
    if (($# == 0)); then
        COMPREPLY=($(compgen -f -- "$cur"))
        return
    fi
    local f restore
    restore=$(shopt -p extglob)
    shopt -s extglob
    while IFS= read -r f; do
        COMPREPLY+=("$f")
    done < <(compgen -d -- "$cur"; compgen -f -X "!@($pattern)" -- "$cur")
    eval "$restore"
}

_zeltra_cli_ports()
{
    local cli
    cli=$(type -P -- "${COMP_WORDS[0]}" 2>/dev/null) || cli=$(type -P zeltra-cli 2>/dev/null) || return
    _zeltra_cli_match "$1" < <("$cli" ports </dev/null 2>/dev/null |
        awk '$1 ~ /^COM[0-9]+$/ { print $1; print $2 } $1 ~ /^(rfc2217|tcp):\/\// { print $1 }')
}

_zeltra_cli()
{
    # A network port (rfc2217://HOST:PORT) is one word, although bash breaks words at colons.
    if declare -F _get_comp_words_by_ref >/dev/null; then
        local words cword
        _get_comp_words_by_ref -n : -w words -i cword
        local COMP_WORDS=("${words[@]}") COMP_CWORD=$cword
    fi
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="ports download upload verify show export import diff print help"
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "$commands --help" -- "$cur"))
        return
    fi
    local command=${COMP_WORDS[1]}
    case $prev in
    --port)
        if [[ $cur == [/.~]* ]]; then
            _zeltra_cli_files "$cur"
        else
            _zeltra_cli_ports "$cur"
            declare -F __ltrim_colon_completions >/dev/null && __ltrim_colon_completions "$cur"
        fi
        return ;;
    --kind)
        COMPREPLY=($(compgen -W "machine monitor" -- "$cur"))
        return ;;
    --page)
        COMPREPLY=($(compgen -W "A4 Letter" -- "$cur"))
        return ;;
    --block)
        local kind
        if [[ $command == upload ]]; then
            kind=$(_zeltra_cli_value --kind)
        else
            kind=$(_zeltra_cli_file_kind "$(_zeltra_cli_positional | head -n 1)")
        fi
        _zeltra_cli_match "$cur" < <(_zeltra_cli_blocks "$kind")
        return ;;
    esac
    if [[ $cur == -* ]]; then
        local options="--help"
        case $command in
        ports) options+=" --json" ;;
        download) options+=" --port --block --verify --fast --json" ;;
        upload) options+=" --port --block --kind --fast --exact --json" ;;
        verify) options+=" --port --block --json" ;;
        diff) options+=" --json" ;;
        print) options+=" --page" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    local n
    n=$(_zeltra_cli_positional | wc -l)
    case $command:$n in
    download:0 | upload:0 | verify:0 | show:0 | export:0 | print:0 | import:1)
        _zeltra_cli_files "$cur" bin BIN ;;
    export:1 | import:0)
        _zeltra_cli_files "$cur" json ;;
    diff:0 | diff:1)
        _zeltra_cli_files "$cur" bin BIN json ;;
    print:1)
        _zeltra_cli_files "$cur" pdf ;;
    esac
}

complete -F _zeltra_cli zeltra-cli
