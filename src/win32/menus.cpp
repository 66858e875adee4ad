#include "win32/menus.h"

#include <iterator>

#include "win32/control_ids.h"

namespace velnor {
namespace {

struct MenuItem {
  int command;             // 0: a separator line
  const wchar_t* caption;  // the shortcut, if any, after a tab
};

struct Menu {
  const wchar_t* caption;
  const MenuItem* items;
  size_t count;
};

const MenuItem kFileItems[] = {
    {ids::kFileSecSave, L"選択された項目をコピー"},
    {ids::kFileAllSave, L"全ての項目をコピー(&C)\tCtrl+C"},
    {ids::kFileSaveList, L"一覧をファイルに保存(&S)...\tCtrl+S"},
    {ids::kFileDownload, L"一覧をダウンロード(&D)...\tCtrl+J"},
    {0, nullptr},  // File_indent0
    {ids::kFileEnd, L"終了(&X)\tCtrl+X"},
};

const MenuItem kEditItems[] = {
    {ids::kEditSplitUrl, L"URLを分解(&D)\tCtrl+D"},
    {ids::kEditFindSeries, L"続きを探す(&F)\tCtrl+F"},
    {ids::kEditAutoSplit, L"コピーしたURLを自動で分解(&A)"},  // checked while on
    {ids::kEditAutoFind, L"コピーしたURLの続きも探す(&N)"},   // checked while on
    {ids::kEditCopyHttps, L"https:// のURLも取り込む(&H)"},   // checked while on
};

const MenuItem kHelpItems[] = {
    {ids::kHelpSub, L"ヘルプ(&H)"},
    {0, nullptr},  // File_indent1
    {ids::kVersion, L"バージョン情報(&A)"},
};

const Menu kMenuBar[] = {
    {L"ファイル(&F)", kFileItems, std::size(kFileItems)},  // File
    {L"編集(&E)", kEditItems, std::size(kEditItems)},
    {L"ヘルプ(&H)", kHelpItems, std::size(kHelpItems)},    // help
};

ACCEL kAccelerators[] = {
    {FVIRTKEY | FCONTROL, 'C', ids::kFileAllSave},
    {FVIRTKEY | FCONTROL, 'S', ids::kFileSaveList},
    {FVIRTKEY | FCONTROL, 'J', ids::kFileDownload},
    {FVIRTKEY | FCONTROL, 'X', ids::kFileEnd},
    {FVIRTKEY | FCONTROL, 'D', ids::kEditSplitUrl},
    {FVIRTKEY | FCONTROL, 'F', ids::kEditFindSeries},
};

}  // namespace

HMENU CreateMainMenu() {
  HMENU bar = CreateMenu();
  for (const Menu& menu : kMenuBar) {
    HMENU popup = CreatePopupMenu();
    for (size_t i = 0; i < menu.count; ++i) {
      const MenuItem& item = menu.items[i];
      if (item.command == 0) {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.command), item.caption);
      }
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu.caption);
  }
  return bar;
}

HACCEL CreateMainAccelerators() {
  return CreateAcceleratorTableW(kAccelerators, static_cast<int>(std::size(kAccelerators)));
}

}  // namespace velnor
