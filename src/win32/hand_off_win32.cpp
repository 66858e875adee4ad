#include "win32/hand_off_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "win32/win32_text.h"

namespace velnor {
namespace {

// At most this many dropped files' names are looked at: the first .url or .txt among them.
constexpr UINT kDroppedFilesLooked = 1000;

// The text of a data object's HGLOBAL format, bounded by its memory block and by one unit more
// than the longest handed text (so that an overlong text is still seen as one).
std::optional<String> DataText(IDataObject* data, CLIPFORMAT format) {
  FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&wanted, &medium))) return std::nullopt;
  std::optional<String> text;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal))) {
      const size_t most = std::min(GlobalSize(medium.hGlobal) / sizeof(wchar_t), kMaxHandedTextLength + 1);
      text = FromWide(chars, wcsnlen(chars, most));
      GlobalUnlock(medium.hGlobal);
    }
  }
  ReleaseStgMedium(&medium);
  return text;
}

std::vector<String> DataFiles(IDataObject* data) {
  FORMATETC wanted{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  std::vector<String> files;
  if (FAILED(data->GetData(&wanted, &medium))) return files;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = std::min(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), kDroppedFilesLooked);
    for (UINT i = 0; i < count; ++i) {
      const UINT length = DragQueryFileW(drop, i, nullptr, 0);
      std::wstring name(length + 1, L'\0');
      if (DragQueryFileW(drop, i, name.data(), length + 1) == length) files.push_back(FromWide(name.c_str(), length));
    }
  }
  ReleaseStgMedium(&medium);
  return files;
}

std::optional<String> DataUrl(IDataObject* data) {
  static const auto kUrlFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocatorW"));
  DroppedData dropped;
  if (kUrlFormat != 0) dropped.url = DataText(data, kUrlFormat);
  dropped.text = DataText(data, CF_UNICODETEXT);
  dropped.files = DataFiles(data);
  return DroppedUrl(dropped, ReadHandedFileStart);
}

}  // namespace

std::vector<String> CommandLineArguments() {
  std::vector<String> arguments;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(FromWide(argv[i], wcslen(argv[i])));
  LocalFree(argv);
  return arguments;
}

std::optional<FileStart> ReadHandedFileStart(const String& path) {
  const HANDLE file = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<FileStart> start;
  LARGE_INTEGER size{};
  // A pipe or a device could keep a read waiting for ever: disk files only.
  if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size)) {
    std::string bytes(kHandedFileReadLimit, '\0');
    DWORD read = 0;
    if (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
      bytes.resize(read);
      const bool whole = static_cast<unsigned long long>(size.QuadPart) <= read;
      start = FileStart{std::move(bytes), whole};
    }
  }
  CloseHandle(file);
  return start;
}

bool MainWindowDropTarget::Register(HWND window) {
  if (FAILED(RegisterDragDrop(window, this))) return false;
  window_ = window;
  return true;
}

void MainWindowDropTarget::Revoke() {
  if (window_ != nullptr) RevokeDragDrop(window_);
  window_ = nullptr;
}

HRESULT MainWindowDropTarget::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG MainWindowDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG MainWindowDropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

DWORD MainWindowDropTarget::EffectFor(DWORD allowed) const {
  return url_ && (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

HRESULT MainWindowDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  url_ = data ? DataUrl(data) : std::nullopt;
  if (effect) *effect = EffectFor(*effect);
  return S_OK;
}

HRESULT MainWindowDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = EffectFor(*effect);
  return S_OK;
}

HRESULT MainWindowDropTarget::DragLeave() {
  url_.reset();
  return S_OK;
}

HRESULT MainWindowDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  // What is dropped is what counts, whatever was seen on entering.
  url_ = data ? DataUrl(data) : std::nullopt;
  const DWORD done = effect ? EffectFor(*effect) : DROPEFFECT_NONE;
  if (effect) *effect = done;
  if (done != DROPEFFECT_NONE) take_(*url_);
  url_.reset();
  return S_OK;
}

}  // namespace velnor
