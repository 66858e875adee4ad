#!/usr/bin/env bash
# Compiles the help file Velnor.chm from docs/help with chmcmd.
#   bash scripts/build-help.sh [output folder]      (default: build/help)
# The pages are kept in UTF-8 so they read well in the repository; the viewer of a Japanese
# help file expects Shift_JIS, so they are converted on the way. Before compiling, every
# page, link, anchor and contents entry is checked, and every message the program shows must
# be explained on the messages page.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
src="$root/docs/help"
out="$(mkdir -p "${1:-$root/build/help}" && cd "${1:-$root/build/help}" && pwd)"
# The Shift_JIS copies and the compiler's log stay out of the output folder, which may be the
# program's own folder.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

command -v chmcmd >/dev/null || { echo "chmcmd is missing: bash scripts/install-deps.sh" >&2; exit 1; }

fail=0
problem() { echo "help: $*" >&2; fail=1; }

# Pages named by the project, and files present, must be the same set.
listed=$(sed -n '/^\[FILES\]/,/^\[/{/^\[/d;/^[[:space:]]*$/d;p}' "$src/Velnor.hhp" | tr -d '\r' | sort)
present=$(cd "$src" && ls -1 ./*.html ./*.css | sed 's|^\./||' | sort)
if [ "$listed" != "$present" ]; then
  problem "[FILES] of Velnor.hhp and the files in docs/help differ:"
  diff <(echo "$listed") <(echo "$present") >&2 || true
fi

# target is "page.html" or "page.html#anchor" or "#anchor" (in page $2).
check_target() {
  local target="$1" from="$2" file anchor
  file="${target%%#*}"
  anchor=""
  [[ "$target" == *"#"* ]] && anchor="${target#*#}"
  [ -n "$file" ] || file="$from"
  case "$file" in http:*|https:*|mailto:*) return ;; esac
  if [ ! -f "$src/$file" ]; then
    problem "$from links to missing $file"
  elif [ -n "$anchor" ] && ! grep -q "id=\"$anchor\"" "$src/$file"; then
    problem "$from links to missing anchor $file#$anchor"
  fi
}
for page in "$src"/*.html; do
  name="$(basename "$page")"
  grep -q '<title>[^<]' "$page" || problem "$name has no title"
  grep -q 'charset=UTF-8' "$page" || problem "$name does not declare charset=UTF-8"
  while IFS= read -r target; do
    check_target "$target" "$name"
  done < <(grep -o 'href="[^"]*"' "$page" | sed 's/^href="//; s/"$//')
done
for sitemap in Velnor.hhc Velnor.hhk; do
  while IFS= read -r target; do
    check_target "$target" "$sitemap"
  done < <(grep -o 'name="Local" value="[^"]*"' "$src/$sitemap" | sed 's/.*value="//; s/"$//')
done

# Every message box text of the program, and where a reader finds it explained.
messages=(
  "URLを入力して下さい"
  "テキスト未入力です"
  "入力項目で未入力があります"
  "チェックが入っていません"
  "未チェックです"
  "アンダーバーのみでは"
  "展開できません"
  "1桁のみでの英文字入力、または2桁目の英文字入力はエラーになります"
  "終了値が範囲外です"
  "リストにデータがありません"
  "選択されていません"
  "クリップボードを開けませんでした"
  "ファイルを保存できませんでした"
  "このURLは分解できません"
  "連番になる数字が見つかりません"
  "2桁か3桁の番号だけを分解できます"
  "2つの番号が連動していません"
  "設定を保存できませんでした"
  "保存先のフォルダを作れません"
  "一覧のURLは見つかりませんでした"
  "ダウンロードを中止しますか？"
  "このアプリケーションはすでに開かれています。"
  "APP Load Error"
  "注意"
)
for text in "${messages[@]}"; do
  grep -qF "$text" "$src/messages.html" || problem "messages.html does not explain \"$text\""
  # The program's own source is the other side: a message it no longer shows, or shows in
  # other words, is worth a look (a warning only, the help may be written first).
  grep -rqF "$text" "$root/src" || echo "help: note: \"$text\" is not in src/ (yet?)" >&2
done

[ "$fail" -eq 0 ] || { echo "help: not compiled, fix the above" >&2; exit 1; }

# Shift_JIS copies; iconv stops at any character Shift_JIS cannot hold.
for f in "$src"/*; do
  name="$(basename "$f")"
  case "$name" in
    *.html|*.hhc|*.hhk|*.hhp)
      iconv -f UTF-8 -t CP932 "$f" | sed 's/charset=UTF-8/charset=Shift_JIS/' > "$stage/$name" \
        || { echo "help: $name holds a character Shift_JIS cannot hold" >&2; exit 1; } ;;
    *) cp "$f" "$stage/$name" ;;
  esac
done

(cd "$stage" && chmcmd --no-html-scan Velnor.hhp >chmcmd.log 2>&1) || { cat "$stage/chmcmd.log" >&2; exit 1; }
[ -s "$stage/Velnor.chm" ] || { cat "$stage/chmcmd.log" >&2; echo "help: no Velnor.chm" >&2; exit 1; }
# Each page must have gone in, and the title the viewer shows as its caption.
for page in "$src"/*.html; do
  grep -aqF "/$(basename "$page")" "$stage/Velnor.chm" || { echo "help: $(basename "$page") is not in Velnor.chm" >&2; exit 1; }
done
title="$(sed -n 's/^Title=//p' "$src/Velnor.hhp" | tr -d '\r')"
[ -n "$title" ] && grep -aqF "$(printf '%s' "$title" | iconv -f UTF-8 -t CP932)" "$stage/Velnor.chm" \
  || { echo "help: Velnor.chm has no title" >&2; exit 1; }
mv "$stage/Velnor.chm" "$out/Velnor.chm"
echo "$out/Velnor.chm"
