# Sourced by the demo scripts: runs a demo program under Wine with its
# pictures going to OUT, then turns them into PNG files and lists them.
#   run_demo NAME PROGRAM.exe OUT
run_demo() {
  local name=$1 program=$2 out=$3 abs
  abs=$(cd "$out" && pwd)
  # A Wine prefix maps / to drive Z:
  LOOM_WINE_TIMEOUT=600 bash "$root/tools/scripts/wine-run.sh" "$B/wine/$name" -- "$program" "Z:${abs//\//\\}"
  pictures_to_png "$out"
  echo "== pictures of every step are in $out/:"
  ls -1 "$out" | grep png
}

# The BMP pictures the demo programs save, as PNG files.
pictures_to_png() {
  local f
  for f in "$1"/*.bmp; do
    [[ -e $f ]] || continue
    convert "$f" "${f%.bmp}.png" && rm -f "$f"
  done
}
