#pragma once
// The hand-offs on Windows: the command line's arguments, the start of a named file, and the
// main window as an OLE drop target. What is taken is decided in src/app/handed_url.h.
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <optional>
#include <vector>

#include "app/handed_url.h"

namespace velnor {

// The arguments after the program's own name, split as CommandLineToArgvW splits the
// command line (quotes and spaces as everywhere on Windows).
std::vector<String> CommandLineArguments();

// The first kHandedFileReadLimit bytes of an ordinary file on disk (no folder, pipe or
// device), opened for reading only and shared with every other use of it.
std::optional<FileStart> ReadHandedFileStart(const String& path);

// Drops on the main window: text, a browser's URL format, files from Explorer. The cursor
// shows copy for data that hands a URL and no-drop otherwise; a drop hands the URL to `take`.
// Reference-counted as COM wants; create it with new, Register it, and Revoke it before the
// window goes (which gives up the window's reference).
class MainWindowDropTarget final : public IDropTarget {
 public:
  explicit MainWindowDropTarget(std::function<void(const String&)> take) : take_(std::move(take)) {}
  // Only the last Release deletes it.
  virtual ~MainWindowDropTarget() = default;
  MainWindowDropTarget(const MainWindowDropTarget&) = delete;
  MainWindowDropTarget& operator=(const MainWindowDropTarget&) = delete;
  // RegisterDragDrop on the window (OLE must be initialised on the thread); false on failure.
  bool Register(HWND window);
  void Revoke();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

 private:
  // DROPEFFECT_COPY when the source allows it and the data hands a URL, else none.
  DWORD EffectFor(DWORD allowed) const;

  LONG references_ = 1;
  HWND window_ = nullptr;
  std::function<void(const String&)> take_;
  std::optional<String> url_;  // what the data being dragged hands
};

}  // namespace velnor
