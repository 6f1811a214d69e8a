# bash completion for carvelle                              -*- shell-script -*-

_carvelle()
{
    local cur prev words cword
    _init_completion || return
    # Qt's own options take the next word; nothing to offer for them.
    case $prev in
        -platform | -style | -stylesheet | -display | -qwindowgeometry | -qwindowtitle) return ;;
    esac
    [[ $cur == -* ]] && COMPREPLY=($(compgen -W "--help --version -platform -style" -- "$cur"))
} &&
    complete -F _carvelle carvelle
