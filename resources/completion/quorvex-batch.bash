# bash completion for quorvex-batch                              -*- shell-script -*-

_quorvex_batch() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion -s || return
    else
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
    fi

    case $prev in
        -t | --type)
            COMPREPLY=($(compgen -W 'jpeg bmp gif png tiff pdf svg' -- "$cur"))
            return
            ;;
        -s | --separator)
            COMPREPLY=($(compgen -W 'none kanji comma' -- "$cur"))
            return
            ;;
        --centre-line)
            COMPREPLY=($(compgen -W 'none upper lower' -- "$cur"))
            return
            ;;
        --ratio-position)
            COMPREPLY=($(compgen -W 'right below' -- "$cur"))
            return
            ;;
        -o | --output-dir)
            COMPREPLY=($(compgen -d -- "$cur"))
            return
            ;;
        --scale)
            COMPREPLY=($(compgen -W 'ratio shared' -- "$cur"))
            return
            ;;
        --name-periods)
            COMPREPLY=($(compgen -W 'company' -- "$cur"))
            return
            ;;
        --colours | --sheet | --import | --indicators)
            COMPREPLY=($(compgen -f -- "$cur"))
            return
            ;;
        --size | --decimals | --font-size | --line-width | -j | --jobs | --scale-basis | --title)
            return
            ;;
        -h | --help | -v | --version)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--output-dir --type --separator --size --decimals
            --font-size --line-width --centre-line --names --no-names --ratios
            --no-ratios --ratio-position --colours --defaults --vector --strict --scale
            --scale-basis --sheet --title --indicators --break-even --import --non-consolidated
            --explain --name-periods --jobs --quiet
            --help --version' -- "$cur"))
        return
    fi
    # The CSV file: folders to walk into and *.csv files (any letter case).
    local IFS=$'\n'
    COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X '!*.[cC][sS][vV]' -- "$cur"))
    compopt -o filenames 2>/dev/null
} &&
    complete -F _quorvex_batch quorvex-batch
