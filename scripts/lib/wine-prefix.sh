# Sourced by the Windows test scripts: a throw-away Wine prefix that answers
# with the ANSI code page of the users' Chinese Windows (936, GBK).

# Wine takes its ANSI code page from the Unix locale. Where zh_CN.UTF-8 is not
# installed, compile it into the scratch folder rather than into the system.
use_chinese_locale() {  # scratch folder
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    mkdir -p "$1/locales"
    localedef -i zh_CN -f UTF-8 "$1/locales/zh_CN.UTF-8" || true
    export LOCPATH="$1/locales"
  fi
  export LC_ALL=zh_CN.UTF-8
}

# Makes $WINEPREFIX with the one registry value the caller's tests need
# (`wine reg add` arguments) and checks its code page; false when it is not 936.
boot_wine_prefix() {  # reg add arguments...
  wineboot -i >/dev/null 2>&1
  wineserver -w
  wine reg add "$@" /f >/dev/null 2>&1
  wineserver -w
  local acp
  acp=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
        tr -d '\r' | awk '$1 == "ACP" { print $3 }')
  if [[ "$acp" != 936 ]]; then
    echo "Wine's ANSI code page is '${acp:-unknown}', not 936: is the zh_CN locale available?" >&2
    return 1
  fi
}
