# bash completion for hillograph-render: options, the preset keys after --set, and file names
# after the options that take a file.

_hillograph_render() {
  local cur prev words cword
  _init_completion -n = || return

  case $prev in
    --preset)
      _filedir '@(hpf|png)'
      return
      ;;
    -o | --output)
      _filedir '@(bmp|png|svg)'
      return
      ;;
    --heightmap)
      _filedir '@(png|r16|raw|pgm)'
      return
      ;;
    --towns-json)
      _filedir json
      return
      ;;
    --save-preset)
      _filedir hpf
      return
      ;;
    --set)
      local keys="Width Height RandSeed Diversity WaterAmount TownAmount TownDB LandBorder
        MapFrame Grid SeaMin SeaMax Plain Hill Mountain GridSize Shadows AutoRefresh"
      if [[ ${cur,,} == towndb=* ]]; then
        # The town database is a file name. Where "=" breaks words, bash replaces only the part
        # after it.
        local key=${cur%%=*}
        cur=${cur#*=}
        _filedir
        [[ $COMP_WORDBREAKS == *=* ]] || COMPREPLY=("${COMPREPLY[@]/#/$key=}")
      elif [[ $cur != *=* ]]; then
        compopt -o nospace
        COMPREPLY=($(compgen -W "$keys" -S = -- "$cur"))
      fi
      return
      ;;
    --manifest)
      _filedir jsonl
      return
      ;;
    --format)
      COMPREPLY=($(compgen -W "bmp png" -- "$cur"))
      return
      ;;
    --shard)
      [[ $cur != */* ]] && COMPREPLY=($(compgen -W "auto/" -- "$cur")) && compopt -o nospace
      return
      ;;
    --size | --label-scale | --seeds | --jobs | --link)
      return
      ;;
  esac

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W '--preset --link --set --size --label-scale --output -o --heightmap
      --smooth-heightmap --towns-json --save-preset --seeds --jobs --shard --manifest
      --skip-existing --no-recipe --format --quiet --help --version' -- "$cur"))
  fi
} &&
  complete -F _hillograph_render hillograph-render
