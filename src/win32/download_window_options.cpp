#include "win32/download_window_class.h"

#include <commdlg.h>
#include <shellapi.h>  // after windows.h

#include <algorithm>
#include <string>

#include "download/download_folder_path.h"

namespace velnor {

// The options as the program holds them (the settings file's, or the last run's).
void DownloadWindow::ShowOptions() {
  showingOptions_ = true;
  const DownloadOptions& options = program_.downloadOptions;
  SetWindowTextW(Control(ids::kDlFolder), Wide(options.folder));
  const int connections = std::clamp(options.connections, kMinDownloadConnections, kMaxDownloadConnections);
  SendMessageW(Control(ids::kDlConnections), CB_SETCURSEL, static_cast<WPARAM>(connections - kMinDownloadConnections), 0);
  CheckDlgButton(window_, ids::kDlStopMissing, options.stopAfterMissing ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window_, ids::kDlReferer, options.sendReferer ? BST_CHECKED : BST_UNCHECKED);
  SetWindowTextW(Control(ids::kDlRefererUrl), Wide(options.refererUrl));
  SetWindowTextW(Control(ids::kDlCookies), Wide(options.cookiesFile));
  ShowRefererUrlState();
  showingOptions_ = false;
}

// Each change goes straight to the program, which writes it to the settings file at exit.
void DownloadWindow::KeepOptions() {
  if (showingOptions_) return;
  DownloadOptions& options = program_.downloadOptions;
  options.folder = FolderText();
  const auto choice = static_cast<int>(SendMessageW(Control(ids::kDlConnections), CB_GETCURSEL, 0, 0));
  if (choice >= 0) options.connections = kMinDownloadConnections + choice;
  options.stopAfterMissing = IsDlgButtonChecked(window_, ids::kDlStopMissing) == BST_CHECKED;
  options.sendReferer = IsDlgButtonChecked(window_, ids::kDlReferer) == BST_CHECKED;
  options.refererUrl = WindowText(Control(ids::kDlRefererUrl));
  options.cookiesFile = WindowText(Control(ids::kDlCookies));
}

// The Referer page is used only while a Referer is sent: greyed, with its label, otherwise.
void DownloadWindow::ShowRefererUrlState() {
  const BOOL sent = IsDlgButtonChecked(window_, ids::kDlReferer) == BST_CHECKED;
  EnableWindow(Control(ids::kDlRefererUrlLabel), sent);
  EnableWindow(Control(ids::kDlRefererUrl), sent);
}

// The standard Open dialog, starting in the folder of the file named now.
void DownloadWindow::BrowseCookiesFile() {
  const std::wstring path(Wide(WindowText(Control(ids::kDlCookies))));
  const size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  name.resize(std::max<size_t>(name.size() + 1, 32768), L'\0');
  static const wchar_t kFilter[] = L"cookies.txt (cookies.txt, *.txt)\0cookies.txt;*.txt\0すべてのファイル (*.*)\0*.*\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  bool chosen = false;
  if (!Modal([&] { chosen = GetOpenFileNameW(&dialog) != FALSE; }) || !chosen) return;
  SetWindowTextW(Control(ids::kDlCookies), name.c_str());  // EN_CHANGE keeps it
}

void DownloadWindow::BrowseFolder() {
  IFileOpenDialog* dialog = nullptr;
  if (!comReady_ || FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog)))) {
    return;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  IShellItem* start = nullptr;
  if (SUCCEEDED(SHCreateItemFromParsingName(Wide(FolderText()), nullptr, IID_IShellItem,
                                            reinterpret_cast<void**>(&start)))) {
    dialog->SetFolder(start);
    start->Release();
  }
  // Every use of the dialog inside the step: the window may be gone once it returns.
  std::wstring chosenPath;
  const bool stays = Modal([&] {
    IShellItem* chosen = nullptr;
    if (SUCCEEDED(dialog->Show(window_)) && SUCCEEDED(dialog->GetResult(&chosen))) {
      PWSTR path = nullptr;
      if (SUCCEEDED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path) chosenPath = path;
      CoTaskMemFree(path);
      chosen->Release();
    }
    dialog->Release();
  });
  if (stays && !chosenPath.empty()) SetWindowTextW(Control(ids::kDlFolder), chosenPath.c_str());  // EN_CHANGE keeps it
}

// Only a folder that is there, in Explorer: the field's text is never opened or run as a file.
void DownloadWindow::OpenFolder() {
  const String folder = FolderText();
  const DWORD attributes = IsAbsoluteFolderPath(folder) ? GetFileAttributesW(Wide(folder)) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    Caution(L"保存先のフォルダがありません", folder);
    return;
  }
  ShellExecuteW(window_, L"explore", Wide(folder), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace velnor
