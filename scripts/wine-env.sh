# Sourced: the Wine environment of one Windows build tree.
# Usage: . scripts/wine-env.sh BUILD_DIR
export WINEPREFIX="$1/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
case "$1" in
  */win32) export NORBIX_WINE=wine; _wineserver=wineserver ;;
  *) export NORBIX_WINE=/usr/lib/wine/wine64; _wineserver=/usr/lib/wine/wineserver64 ;;
esac
# A wineserver that outlives its last client by 60 s at most, so nothing left
# running holds a caller's output open.
wineserver_start() { "$_wineserver" -p 60 >/dev/null 2>&1 || true; "$NORBIX_WINE" cmd /c exit >/dev/null 2>&1 || true; }
wineserver_stop() { "$_wineserver" -k >/dev/null 2>&1 || true; }
