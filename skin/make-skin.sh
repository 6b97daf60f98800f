#!/usr/bin/env bash
# Draws the default skin: every picture the installer's three dialogs look up,
# at the sizes their layouts give, into OUT/skin/{RUVI,Public,MsgBox,SetProxySvr}.
# Usage: skin/make-skin.sh OUT
# Needs ImageMagick's convert and the WenQuanYi Micro Hei font; the same
# input gives the same bytes (no time stamps in the files).
set -euo pipefail

OUT=${1:?usage: make-skin.sh OUT}
FONT=${RUVI_SKIN_FONT:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}
[ -f "$FONT" ] || { echo "make-skin: font $FONT is missing" >&2; exit 1; }
command -v convert >/dev/null || { echo "make-skin: ImageMagick's convert is missing" >&2; exit 1; }

# One palette for the whole skin.
BRAND=#1f6feb          # primary actions, progress fill, accents
BRAND_OVER=#3b82f6
BRAND_DOWN=#1858c4
BRAND_OFF=#a9c1e8
HEADER_TOP=#2f7dee
HEADER_BOTTOM=#1b5fd0
PAGE=#ffffff
FRAME=#cfd7e3          # window outline and field boxes
RULE=#edf0f5           # separators between rows
INK=#1f2937            # text drawn in the pictures
INK_SOFT=#5b6676
INK_FAINT=#a3acb9
CALM=#e8f0fe           # step badges
SECONDARY_LINE=#c5cdd8
SECONDARY_OVER=#f3f6fa
SECONDARY_DOWN=#e4e9f0
SECONDARY_OFF=#f5f6f8
SUCCESS=#1f9d55
FAILURE=#e5484d
WARNING=#f0a020
TRACK_TOP=#6f7d93
TRACK_BOTTOM=#8b98ad

HEADER_HEIGHT=52       # the two large windows
BOX_HEADER_HEIGHT=40   # the message box: its text starts at y 50

# Plain RGB PNGs without time stamps: the dialogs copy the pixels as they
# are, so the pictures carry the background they sit on.
png() { echo "-define png:exclude-chunks=date,time +set date:create +set date:modify PNG24:$1"; }

dir_ruvi=$OUT/skin/RUVI
dir_public=$OUT/skin/Public
dir_msgbox=$OUT/skin/MsgBox
dir_proxy=$OUT/skin/SetProxySvr
mkdir -p "$dir_ruvi" "$dir_public" "$dir_msgbox" "$dir_proxy"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# ---------------------------------------------------------------- buttons
# button FILE WIDTH HEIGHT FILL LINE TEXTCOLOUR CAPTION [PRESSED]
# A rounded button on the white page, its caption centred.
button() {
  local file=$1 w=$2 h=$3 fill=$4 line=$5 ink=$6 caption=$7 pressed=${8:-0}
  local size=$(( h >= 33 ? 16 : 15 ))
  # shellcheck disable=SC2046
  convert -size "${w}x${h}" "xc:$PAGE" \
    -fill "$fill" -stroke "$line" -strokewidth 1 \
    -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 5,5" \
    -stroke none -fill "$ink" -font "$FONT" -pointsize "$size" -gravity center \
    -annotate "+0+$pressed" "$caption" $(png "$file")
}

# primary_button FOLDER NAME WIDTH HEIGHT CAPTION: filled in the brand colour.
primary_button() {
  local dir=$1 name=$2 w=$3 h=$4 caption=$5
  button "$dir/$name.png" "$w" "$h" "$BRAND" "$BRAND" white "$caption"
  button "$dir/${name}_Over.png" "$w" "$h" "$BRAND_OVER" "$BRAND_OVER" white "$caption"
  button "$dir/${name}_Down.png" "$w" "$h" "$BRAND_DOWN" "$BRAND_DOWN" white "$caption" 1
  button "$dir/${name}_Focus.png" "$w" "$h" "$BRAND" "$BRAND_DOWN" white "$caption"
  button "$dir/${name}_Disable.png" "$w" "$h" "$BRAND_OFF" "$BRAND_OFF" "#eef3fb" "$caption"
}

# secondary_button FOLDER NAME WIDTH HEIGHT CAPTION: white with an outline.
secondary_button() {
  local dir=$1 name=$2 w=$3 h=$4 caption=$5
  button "$dir/$name.png" "$w" "$h" "$PAGE" "$SECONDARY_LINE" "$INK" "$caption"
  button "$dir/${name}_Over.png" "$w" "$h" "$SECONDARY_OVER" "$SECONDARY_LINE" "$INK" "$caption"
  button "$dir/${name}_Down.png" "$w" "$h" "$SECONDARY_DOWN" "$SECONDARY_LINE" "$INK" "$caption" 1
  button "$dir/${name}_Focus.png" "$w" "$h" "$PAGE" "$BRAND" "$INK" "$caption"
  button "$dir/${name}_Disable.png" "$w" "$h" "$SECONDARY_OFF" "$RULE" "$INK_FAINT" "$caption"
}

# outline_button FOLDER NAME WIDTH HEIGHT CAPTION: white, brand outline and text.
outline_button() {
  local dir=$1 name=$2 w=$3 h=$4 caption=$5
  button "$dir/$name.png" "$w" "$h" "$PAGE" "$BRAND" "$BRAND" "$caption"
  button "$dir/${name}_Over.png" "$w" "$h" "$CALM" "$BRAND" "$BRAND" "$caption"
  button "$dir/${name}_Down.png" "$w" "$h" "#d6e4fd" "$BRAND_DOWN" "$BRAND_DOWN" "$caption" 1
  button "$dir/${name}_Focus.png" "$w" "$h" "$PAGE" "$BRAND_DOWN" "$BRAND" "$caption"
  button "$dir/${name}_Disable.png" "$w" "$h" "$SECONDARY_OFF" "$SECONDARY_LINE" "$INK_FAINT" "$caption"
}

# ---------------------------------------------------------------- windows
# The header band every window starts with: the brand gradient, a title.
header() {
  local file=$1 w=$2 h=$3 title=$4
  convert -size "${w}x${h}" "gradient:$HEADER_TOP-$HEADER_BOTTOM" \
    -fill "#ffffff" -font "$FONT" -pointsize 16 -gravity West \
    -annotate +20+0 "$title" "$file"
}

# window_base FILE WIDTH HEIGHT HEADER_HEIGHT TITLE: white page, header, outline.
window_base() {
  local file=$1 w=$2 h=$3 header_height=$4 title=$5
  header "$scratch/header.png" "$w" "$header_height" "$title"
  convert -size "${w}x${h}" "xc:$PAGE" "$scratch/header.png" -geometry +0+0 -composite \
    -fill none -stroke "$FRAME" -strokewidth 1 \
    -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 5,5" "$file"
}

# The minimise and close buttons sit on the header at the same place in the
# main window and the proxy dialog: their pictures are cut out of it.
header_button() {
  local name=$1 glyph=$2
  local x=$3
  local base=$scratch/header_$name.png
  convert "$scratch/ruvi.png" -crop "25x25+$x+7" +repage "$base"
  local draw_glyph
  if [ "$glyph" = minimise ]; then
    draw_glyph="line 8,13 16,13"
  else
    draw_glyph="line 8.5,8.5 16.5,16.5 line 16.5,8.5 8.5,16.5"
  fi
  # state suffix, glyph colour, hover disc (none for the resting states)
  local states=(":#ffffff:none" "_Over:#ffffff:#ffffff33" "_Down:#ffffff:#00000033"
                "_Focus:#ffffff:none" "_Disable:#ffffff66:none")
  local state suffix ink disc
  for state in "${states[@]}"; do
    IFS=: read -r suffix ink disc <<<"$state"
    # shellcheck disable=SC2046
    convert "$base" -fill "$disc" -stroke none -draw "roundrectangle 1,1 23,23 4,4" \
      -stroke "$ink" -strokewidth 1.6 -fill none -draw "$draw_glyph" \
      $(png "$dir_public/$name$suffix.png")
  done
}

# A round state badge, drawn four times larger and scaled down so that its
# edges are smooth: badge FILE SIZE COLOUR GLYPH (cross, tick or bang).
badge() {
  local file=$1 size=$2 colour=$3 glyph=$4
  local draw
  case $glyph in
    cross) draw="line 38,38 74,74 line 74,38 38,74" ;;
    tick) draw="line 33,57 49,73 line 49,73 79,39" ;;
    bang) draw="line 56,30 56,62 line 56,78 56,80" ;;
  esac
  # shellcheck disable=SC2046
  convert -size 112x112 "xc:$PAGE" -fill "$colour" -stroke none -draw "circle 55.5,55.5 55.5,2" \
    -fill none -stroke white -strokewidth 10 -draw "stroke-linecap round $draw" -resize "${size}x${size}" \
    $(png "$file")
}

# The picture shown while a run is in progress: an hourglass.
hourglass() {
  # shellcheck disable=SC2046
  convert -size 35x45 "xc:$PAGE" \
    -fill "$BRAND" -stroke none \
    -draw "roundrectangle 6,3 28,7 2,2" -draw "roundrectangle 6,37 28,41 2,2" \
    -fill none -stroke "$BRAND" -strokewidth 2 \
    -draw "path 'M 9,8 L 9,13 Q 9,18 16,22.5 Q 9,27 9,32 L 9,36 L 26,36 L 26,32 Q 26,27 19,22.5 Q 26,18 26,13 L 26,8 Z'" \
    -fill "$BRAND_OFF" -stroke none \
    -draw "polygon 12,13 23,13 17.5,19" -draw "polygon 11.5,35 23.5,35 17.5,29" \
    $(png "$dir_ruvi/P6.png")
}

# Progress bar tiles, stretched to the bar's thickness and repeated along it.
progress_tiles() {
  # shellcheck disable=SC2046
  convert -size 24x19 "gradient:#4d95f7-$BRAND_DOWN" \
    \( -size 24x19 xc:none -fill "#ffffff26" \
       -draw "polygon 0,0 6,0 0,6" -draw "polygon 12,0 18,0 0,18 0,12" \
       -draw "polygon 24,0 24,6 6,24 0,24 0,19 19,0" -draw "polygon 24,12 24,18 18,24 12,24" \) \
    -composite $(png "$dir_ruvi/front_000.png")
  # shellcheck disable=SC2046
  convert -size 24x19 "gradient:$TRACK_TOP-$TRACK_BOTTOM" $(png "$dir_ruvi/back_000.png")
}

# ---------------------------------------------------------------- main window
main_window() {
  window_base "$scratch/ruvi.png" 414 492 "$HEADER_HEIGHT" "Ruvex 安装程序"
  local args=() i y
  # Five step rows: a numbered badge before each caption, rules between them.
  local badge_centres=(96 137 176 215 254)
  for i in 0 1 2 3 4; do
    y=${badge_centres[$i]}
    args+=(-fill "$CALM" -stroke none -draw "circle 40,$y 40,$((y - 10))")
    args+=(-fill "$BRAND" -font "$FONT" -pointsize 12 -gravity NorthWest
           -annotate "+36+$((y - 8))" "$((i + 1))")
  done
  for y in 117 157 196 235; do
    args+=(-stroke "$RULE" -strokewidth 1 -draw "line 30,$y.5 384,$y.5" -stroke none)
  done
  # shellcheck disable=SC2046
  convert "$scratch/ruvi.png" "${args[@]}" \
    -fill "$INK_FAINT" -font "$FONT" -pointsize 11 -gravity South -annotate +0+14 "Tarvano · Ruvex" \
    $(png "$dir_ruvi/0.png")

  primary_button "$dir_ruvi" B1 178 30 "立即启动"
  primary_button "$dir_ruvi" B2 99 30 "重试"
  secondary_button "$dir_ruvi" B3 178 30 "取消"
  secondary_button "$dir_ruvi" B4 99 30 "退出"

  badge "$dir_ruvi/P1.png" 28 "$FAILURE" cross
  badge "$dir_ruvi/P2.png" 28 "$WARNING" bang
  badge "$dir_ruvi/P3.png" 28 "$SUCCESS" tick
  badge "$dir_ruvi/P4.png" 21 "$FAILURE" cross
  badge "$dir_ruvi/P5.png" 21 "$SUCCESS" tick
  hourglass
  progress_tiles
}

# ---------------------------------------------------------------- proxy dialog
proxy_dialog() {
  window_base "$scratch/proxy.png" 414 492 "$HEADER_HEIGHT" "代理服务器设置"
  local args=() labels=("地址" "端口" "用户名" "密码") tops=(124 176 226 279) i y
  args+=(-fill "$INK" -font "$FONT" -pointsize 14 -gravity NorthWest -annotate +162+72 "使用代理服务器")
  for i in 0 1 2 3; do
    y=${tops[$i]}
    args+=(-fill "$PAGE" -stroke "$FRAME" -strokewidth 1
           -draw "roundrectangle 86.5,$((y - 5)).5 326.5,$((y + 25)).5 4,4" -stroke none)
    args+=(-fill "$INK_SOFT" -font "$FONT" -pointsize 13 -gravity NorthEast
           -annotate "+$((414 - 78))+$((y + 1))" "${labels[$i]}")
  done
  # shellcheck disable=SC2046
  convert "$scratch/proxy.png" "${args[@]}" \
    -fill "$INK_FAINT" -font "$FONT" -pointsize 11 -gravity South -annotate +0+14 "Tarvano · Ruvex" \
    $(png "$dir_proxy/0.png")

  primary_button "$dir_proxy" B1 99 30 "确定"
  secondary_button "$dir_proxy" B2 99 30 "取消"
  outline_button "$dir_proxy" B3 180 33 "测试连接"
}

# ---------------------------------------------------------------- message box
message_box() {
  window_base "$scratch/msgbox.png" 370 191 "$BOX_HEADER_HEIGHT" "提示"
  # shellcheck disable=SC2046
  convert "$scratch/msgbox.png" $(png "$dir_msgbox/0.png")
  primary_button "$dir_msgbox" B1 99 30 "确定"
  secondary_button "$dir_msgbox" B2 99 30 "取消"
}

main_window
header_button B1 minimise 349
header_button B2 close 379
proxy_dialog
message_box
