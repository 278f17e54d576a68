#!/usr/bin/env bash
# The message dialogs under Wine, shown from each program's own
# resources: caption = product name, the exact texts with their line breaks,
# the buttons, no system menu; the first button (Return) answers 1, Escape
# answers 2 also where there is only one button. Under a Japanese locale the
# Japanese templates appear. Screenshots are kept in the test's folder.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/import-helpers.sh"
e2e_start_display 1024x768x24

# kind|English text|Japanese text|English buttons|Japanese buttons
table=$(cat <<'TABLE'
MsgAlreadyListed|The selected picture has already been listed.\nSelect another picture.|すでにリストに表示されている画像が選択されました。\n他の画像を選択してください。|OK -|OK -
MsgConfirmRemove|Are you sure you want to remove the picture from the list?|この画像をリストから削除します。\nよろしいですか？|YES NO|OK ｷｬﾝｾﾙ
MsgConfirmInitialize|Are you sure you want to initialize the list?|画像リストを初期設定に戻します。よろしいですか？|YES NO|OK ｷｬﾝｾﾙ
MsgListFull|Cannot add any more pictures.\nThe maximum number of pictures to add is 10.|画像を追加できません。\n追加できる画像は 10 枚までです。|OK -|OK -
MsgUnsupportedFile|Non-supported file is selected.\nSelect a JPEG or BMP file.|サポートされていない形式のファイルが選択されました。\nJPEG または BMP 形式のファイルを選択してください。|OK -|OK -
MsgPictureTooLarge|Cannot add this picture.\nThe largest picture that can be added is 100 megapixels, 16384 pixels a side.|画像を追加できません。\n追加できる画像は 1億画素、一辺 16384 ピクセルまでです。|OK -|OK -
MsgOutOfMemory|Cannot allocate enough memory for the selected file.\nDecrease the file size and try again.|ファイルに対して十分なメモリ領域を確保できませんでした。\nファイルサイズを小さくして再度実行してください。|OK -|OK -
MsgCannotDeleteAll|Cannot delete all pictures in the list.\nIf you want to initialize the picture list, click [Initialize].|リスト内の画像をすべて削除することはできません。\n\n画像リストをお買い上げ時の状態に戻すときは、\n[初期設定] をクリックしてください。|OK -|OK -
MsgCannotSavePicture|Cannot save the picture.\nCheck that the disk has free space and that you may write to it.|画像を保存できません。\nディスクの空き容量と、書き込みの権限があることを確認してください。|OK -|OK -
MsgFolderWithoutPictures|This folder has no pictures that can be shown.\nSelect another folder.|このフォルダーには表示できる画像がありません。\n他のフォルダーを選択してください。|OK -|OK -
TABLE
)

# Dark pixels (text) inside the dialog's rectangle of a screenshot.
ink() {  # file x y w h
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace gray -threshold 50% \
    -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}

# show_one VARIANT LANGUAGE(en|ja) KIND TEXT BUTTONS KEY(Return|Escape) RESULT
show_one() {
  local v=$1 lang=$2 kind=$3 text=$4 buttons=$5 key=$6 result=$7
  local log="$E2E_TMP/$v-$lang-$kind.out" shot="$E2E_TMP/$v-$lang-$kind.png"
  local module
  module="$(import_winpath "$IMPORT_APP_DIR/quorvel$(tr 'A-Z' 'a-z' <<<"$v").scr")"
  if [ "$lang" = ja ]; then
    LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 import_start "$log" message "$v" "$kind" "$module"
  else
    LANG=C.UTF-8 LC_ALL=C.UTF-8 import_start "$log" message "$v" "$kind" "$module"
  fi
  if ! import_wait_line "$log" '^(shown|no dialog appeared)$' 40; then
    e2e_check "$v $lang $kind appears" false
    kill "$IMPORT_PID" 2>/dev/null || true
    return
  fi
  e2e_screenshot "$shot"
  xdotool key "$key"
  import_wait_line "$log" '^result: ' 20 || true
  wait "$IMPORT_PID" 2>/dev/null || true
  local out b1 b2 x y w h
  out=$(tr -d '\r' <"$log")
  read -r b1 b2 <<<"$buttons"
  e2e_check "$v $lang $kind: caption" grep -qxF "caption: QUOR VELK-$v Screen Saver" <<<"$out"
  e2e_check "$v $lang $kind: text" grep -qxF "text: $text" <<<"$out"
  e2e_check "$v $lang $kind: buttons $b1 $b2" \
    test "$(sed -n 's/^button[12]: //p' <<<"$out" | tr '\n' ' ')" = "$b1 $b2 "
  e2e_check "$v $lang $kind: no system menu" grep -qxF "system menu: no" <<<"$out"
  e2e_check "$v $lang $kind: $key answers $result" grep -qxF "result: $result" <<<"$out"
  read -r x y w h < <(sed -n 's/^text box: //p' <<<"$out") || true  # none when no dialog came
  e2e_check "$v $lang $kind: its text is drawn (screenshot)" test "$(ink "$shot" "$x" "$y" "$w" "$h")" -gt 150
}

echo "--- variant B, English and Japanese"
i=0
while IFS='|' read -r kind en ja enb jab; do
  # Alternate the keys: Return is the first button, Escape the second.
  if ((i % 2 == 0)); then key=Return; res=1; else key=Escape; res=2; fi
  show_one B en "$kind" "$en" "$enb" "$key" "$res"
  show_one B ja "$kind" "$ja" "$jab" "$( ((i % 2 == 0)) && echo Escape || echo Return)" \
    "$( ((i % 2 == 0)) && echo 2 || echo 1)"
  i=$((i + 1))
done <<<"$table"

echo "--- variants A and C: their own template numbers"
while IFS='|' read -r kind en ja enb jab; do
  show_one A en "$kind" "$en" "$enb" Return 1
done <<<"$table"
while IFS='|' read -r kind en ja enb jab; do
  case "$kind" in MsgListFull|MsgUnsupportedFile|MsgPictureTooLarge|MsgConfirmRemove)
    show_one C en "$kind" "$en" "$enb" Escape 2 ;;
  esac
done <<<"$table"
e2e_finish
