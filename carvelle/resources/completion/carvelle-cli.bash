# bash completion for carvelle-cli                         -*- shell-script -*-
# A new command needs its name in "commands" and its options in _carvelle_cli_options.

_carvelle_cli_options()
{
    case $1 in
        vehicles) echo "--help" ;;
        backup) echo "--force --help" ;;
        check) echo "--repair --force --help" ;;
        export) echo "--vehicle --type --from --to -o --spreadsheet-safe --help" ;;
        import) echo "--vehicle --as --date-format --file-units --map --dry-run --skip-bad-rows --help" ;;
        stats | fillups) echo "--vehicle --from --to --help" ;;
        report) echo "--vehicle --by --from --to --help" ;;
        reminders) echo "add done --vehicle --due --name --odometer --date --every-distance --every-months --store-repair --due-odometer --due-date --help" ;;
    esac
}

# A word as the command will get it: quotes and backslashes taken away, a leading ~/ expanded.
# Never evaluated, so nothing typed on the line runs while completing.
_carvelle_cli_unquote()
{
    local word=$1 out= quote= c i
    [[ $word == "~/"* ]] && word=$HOME/${word:2}
    for ((i = 0; i < ${#word}; i++)); do
        c=${word:i:1}
        if [[ $quote == "'" ]]; then
            [[ $c == "'" ]] && quote= || out+=$c
        elif [[ $c == '\' ]]; then
            ((i++))
            out+=${word:i:1}
        elif [[ $c == '"' && $quote == '"' ]]; then
            quote=
        elif [[ ($c == '"' || $c == "'") && -z $quote ]]; then
            quote=$c
        else
            out+=$c
        fi
    done
    printf '%s' "$out"
}

# Options that take the next word as their value.
_carvelle_cli_valued='@(--vehicle|--type|--from|--to|-o|--as|--date-format|--file-units|--by|--repair|--map)'

_carvelle_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    local commands="vehicles export import backup check stats report fillups reminders"
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    local command=${words[1]}

    # The positional arguments before the word being completed; the first is the data file.
    local -a positional=()
    local i options_end=
    for ((i = 2; i < cword; i++)); do
        if [[ -n $options_end || ${words[i]} != -* || ${words[i]} == - ]]; then
            positional+=("${words[i]}")
        elif [[ ${words[i]} == -- ]]; then
            options_end=1
        elif [[ ${words[i]} == $_carvelle_cli_valued ]]; then
            ((i++))
        fi
    done

    case $prev in
        --vehicle)
            # The vehicles of the data file already on the line, by name.
            local file
            file=$(_carvelle_cli_unquote "${positional[0]-}")
            [[ -f $file ]] || return
            local name typed
            local -a names
            typed=$(_carvelle_cli_unquote "$cur")
            mapfile -t names < <(carvelle-cli vehicles "$file" 2>/dev/null | cut -f2)
            COMPREPLY=()
            for name in "${names[@]}"; do
                [[ $name == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
            done
            return
            ;;
        --type)
            COMPREPLY=($(compgen -W "fuel repair trip expense" -- "$cur"))
            return
            ;;
        --as)
            COMPREPLY=($(compgen -W "repair expense" -- "$cur"))
            return
            ;;
        --by)
            COMPREPLY=($(compgen -W "month year" -- "$cur"))
            return
            ;;
        --date-format)
            COMPREPLY=($(compgen -W "yyyy-MM-dd M/d/yyyy d/M/yyyy dd.MM.yyyy M/d/yy d/M/yy dd.MM.yy MM-dd-yyyy" -- "$cur"))
            return
            ;;
        --file-units)
            COMPREPLY=($(compgen -W "km,l mi,gal mi,ukgal mi,l km,gal km,kg km,kWh" -- "$cur"))
            return
            ;;
        --map)
            # COLUMN=FIELD: the CSV file's column names first, then the fields after the "=".
            if [[ $cur == *=* ]]; then
                # Readline replaces only what follows the "=" when "=" breaks words.
                local prefix=${cur%=*}=
                [[ $COMP_WORDBREAKS == *=* ]] && prefix=
                COMPREPLY=($(compgen -P "$prefix" -W "date odometer quantity unitprice total vendor \
                    description notes vehicle type partial missed full time ignore" -- "${cur##*=}"))
            else
                local csv
                csv=$(_carvelle_cli_unquote "${positional[1]-}")
                [[ -f $csv ]] || return
                local line name
                local -a names
                # The first line that looks like column names, split at its commas, semicolons or tabs.
                line=$(grep -m1 -E '[,;	].*[,;	]' -- "$csv" 2>/dev/null | tr -d '"\r')
                IFS=$',;\t' read -r -a names <<<"$line"
                COMPREPLY=()
                for name in "${names[@]}"; do
                    [[ -n $name && $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")=")
                done
                compopt -o nospace 2>/dev/null
            fi
            return
            ;;
        --from | --to)
            COMPREPLY=($(compgen -W "$(date +%F)" -- "$cur"))
            return
            ;;
        -o)
            _filedir csv
            return
            ;;
        --repair)
            _filedir dat
            return
            ;;
    esac
    [[ $split == true ]] && return

    if [[ -z $options_end && $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_carvelle_cli_options "$command")" -- "$cur"))
        return
    fi

    case $command:${#positional[@]} in
        *:0 | backup:1) _filedir dat ;;
        import:1) _filedir csv ;;
    esac
} &&
    complete -F _carvelle_cli carvelle-cli
