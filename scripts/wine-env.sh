# Sourced by the scripts that run Windows programs: the Wine environment of the project.
#   wine_env_init PREFIX   exports WINEPREFIX, WINEDEBUG and the null sound device and creates
#                          the prefix once (serialised with a lock, so parallel tests can share it),
#                          with the stand-in font of "宋体" set (wine_env_replace_fonts)
#   wine_env_start_display exports DISPLAY of a fresh Xvfb (pid in WINE_ENV_XVFB_PID)
#   wine_env_stop          stops what wine_env_start_display and a persistent wineserver started
# LC_ALL=zh_CN.UTF-8 (code page 936, and UTF-8 file names on the Unix side: scripts/setup.sh
# generates the locale) is given to wine processes only; the other tools keep the machine's.

wine_env_init() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEARCH=win32
  # No sound card here: ALSA's null device, or media playback crashes inside Wine.
  local alsa="$WINEPREFIX.alsa.conf"
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$alsa" ]; then
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$alsa.tmp"
    mv "$alsa.tmp" "$alsa"
  fi
  export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$alsa"
  if [ ! -f "$WINEPREFIX/.ready-2" ]; then
    (
      flock 9
      if [ ! -f "$WINEPREFIX/.ready-2" ]; then
        # mono and gecko are not installed; keep wineboot from asking for them.
        WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=zh_CN.UTF-8 wineboot -i >/dev/null 2>&1 || true
        # A crashing program ends with a backtrace on stderr instead of waiting for someone to
        # close the crash dialog (a crashed test would otherwise hang until its time-out).
        LC_ALL=zh_CN.UTF-8 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
          /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
        wineserver -w || true
        touch "$WINEPREFIX/.ready-2"
      fi
    ) 9>"$WINEPREFIX.lock"
  fi
  if [ ! -f "$WINEPREFIX/.fonts-2" ]; then
    (
      flock 9
      if [ ! -f "$WINEPREFIX/.fonts-2" ]; then
        wine_env_replace_fonts
        wineserver -w || true
        touch "$WINEPREFIX/.fonts-2"
      fi
    ) 9>"$WINEPREFIX.lock"
  fi
}

# "宋体" (SimSun) and Tahoma, the program's fonts, are not installed here. For "宋体" Wine takes
# WenQuanYi Zen Hei, which loses strokes at the program's small sizes (打 at 13 px, 删 at 12 px,
# 日记 as 口识): the Sharp face of the same collection draws them whole. Tahoma (the lyric box)
# takes DejaVu Sans for its Latin letters and, as on Windows, SimSun's stand-in for the rest.
wine_env_replace_fonts() {
  local reg="$WINEPREFIX.fonts.reg"
  {
    printf '\xff\xfe'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"宋体"="WenQuanYi Zen Hei Sharp"' '"SimSun"="WenQuanYi Zen Hei Sharp"' \
      '"Tahoma"="DejaVu Sans"' |
      iconv -f UTF-8 -t UTF-16LE
  } >"$reg"
  # regedit reads a leading "/" as a switch: the file is named from its own folder.
  (cd "$(dirname "$reg")" && LC_ALL=zh_CN.UTF-8 wine regedit /S "$(basename "$reg")" \
    >/dev/null 2>&1 </dev/null) || true
}

wine_env_start_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_ENV_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
  fi
}
