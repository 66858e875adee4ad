#pragma once
// Drives a running Velnor.exe from another process with window messages, as a user would act
// on it: typing into fields, clicking buttons and list entries, pressing keys, answering
// message boxes. See README.md in this folder.
#include <windows.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "harness.h"

namespace velnor::e2e {

// A message box the program showed, as read from the real dialog before it was closed.
struct ShownBox {
  String caption;
  String text;
  bool hasIcon = false;
  bool operator==(const ShownBox&) const = default;
};
std::string Describe(const ShownBox& box);
// The message box's caption, text and whether it shows an icon.
ShownBox ReadMessageBox(HWND box);
// A visible top-level window of that class in that process, or null.
HWND FindVisibleTopLevel(DWORD pid, const wchar_t* className);

// Waits until done() holds or timeoutMs pass; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Milliseconds since start, from the performance counter.
double MillisecondsSince(const LARGE_INTEGER& start);

// How long the window takes to answer WM_NULL, in milliseconds; `limitMs` when it does not
// answer within that time.
double AnswerTime(HWND window, DWORD limitMs = 1000);

// The folder a case's program runs in (created when missing); a case may put a settings file
// there before it starts the program with SettingsFile::kKeep.
std::wstring CaseFolder(const Context& ctx);

// What a start does with a Velnor.ini left in the case's folder.
enum class SettingsFile { kRemove, kKeep };

// How the program is asked to close: its close box (WM_CLOSE) or the menu item File_end.
enum class CloseBy { kCloseBox, kMenu };

// How a case answers the Save As dialog: the text typed into its file-name field (a bare
// name, saved in the folder the dialog shows, or a full path) and Save pressed, or Cancel when
// the text is empty; the question whether to replace an existing file answered Yes or No
// (No leaves the dialog open: it is then cancelled).
struct SaveAsAnswer {
  std::wstring fileName;
  bool replace = true;
};

// What the program showed while a Save As dialog was answered.
struct SaveAsSeen {
  bool shown = false;            // a Save As dialog owned by the main window came up
  String proposedName;           // its file-name field as it opened
  bool askedToReplace = false;   // it asked whether to replace an existing file
  std::vector<ShownBox> boxes;   // the program's message boxes, answered with OK
};

class Velnor {
 public:
  // Copies Velnor.exe into a folder of the case's own (never a user's settings) and starts it
  // there; waits until its main window is shown and idle. kRemove deletes a settings file
  // left there first; kKeep starts on whatever the case put there (a restart, a prepared file).
  // A subfolder puts the program into that folder below the case's own (created when missing).
  // Arguments, when given, follow the program's name on its command line as they stand.
  explicit Velnor(Context& ctx, SettingsFile settings = SettingsFile::kRemove, const std::wstring& subfolder = L"",
                  const std::wstring& arguments = L"");
  ~Velnor();
  Velnor(const Velnor&) = delete;
  Velnor& operator=(const Velnor&) = delete;

  bool started() const { return window_ != nullptr; }
  HWND window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  // The edit part of a combo box.
  HWND ComboEdit(int id) const;
  const std::wstring& folder() const { return folder_; }
  DWORD processId() const { return process_.dwProcessId; }
  HANDLE process() const { return process_.hProcess; }

  // Control values, read across the process boundary.
  String Text(int id) const;
  std::vector<String> ListItems(int id) const;
  std::vector<String> ComboItems(int id) const;
  int CheckValue(int id) const;
  int HorizontalExtent(int id) const;

  // The user's actions.
  void SetText(int id, const String& text);             // as a paste: WM_SETTEXT on the field
  void Type(HWND field, const String& typed);           // one WM_CHAR a character
  void Type(int id, const String& typed) { Type(Control(id), typed); }
  void Erase(HWND field);                               // selects all of a field's text, Backspace
  void Click(int id);                                   // BM_CLICK, waits until it is handled
  void SetCheck(int id, int value);                     // clicks the box until it shows value
  void ClickAt(HWND target, int x, int y);              // left button down and up, client coordinates
  void ClickListEntry(int id, int index);               // scrolls the entry to the top, clicks it
  void PostKey(HWND target, UINT vk);                   // a key press posted through the message loop
  HWND Focus() const;                                   // the focused window of the program's thread

  // Presses a command button and answers every message box the command shows, in order,
  // with OK (or the button `answer`, IDYES, IDNO); returns when the command has finished.
  std::vector<ShownBox> Press(int id);
  // The same for a menu command (WM_COMMAND with the command's id, as the menu sends it).
  std::vector<ShownBox> Command(int commandId);
  // The same for any message sent to target from a second thread.
  std::vector<ShownBox> SendAndAnswer(HWND target, UINT message, WPARAM wParam, LPARAM lParam, int answer = IDOK);

  // urllist filled by a click on renban as a user fills the window: the pattern "xxx+.拡張子",
  // url, the numbers from 0 up to last (as wide as last), extension; returns the boxes.
  std::vector<ShownBox> ExpandNumbers(const String& url, int last, const String& extension);
  // The same with the end typed as given (Text(1) holds three characters: "3e4" is 30000).
  std::vector<ShownBox> ExpandNumbers(const String& url, const String& lastTyped, const String& extension);

  // The indices of a list box's selected items, and selecting or clearing one of them.
  std::vector<int> SelectedItems(int id) const;
  void SelectItem(int id, int index, bool selected = true);

  // Asks the window to close; true when the process ended.
  bool Close(DWORD timeoutMs = 10000);
  bool Exited(DWORD timeoutMs = 0) const;
  // Closes the window and answers every message box shown until the process ends with OK
  // (or `answer`);
  // returns the boxes, in order. Fails the case when the process does not end in time.
  std::vector<ShownBox> CloseAnswering(CloseBy how, DWORD timeoutMs = 15000, int answer = IDOK);
  // The process's exit code (STILL_ACTIVE while it runs).
  DWORD ExitCode() const;
  // The running program file's full path as Windows reports it for the process.
  std::wstring ImagePath() const;

  // A command that may show the system's Save As dialog, answered as the case says: sent as
  // the menu sends it, from a second thread (commandId 0: the case has just started it
  // itself, e.g. with keys). The program's message boxes are answered with OK. Returns once
  // the command has finished (for commandId 0: once the dialog has closed and the program
  // answers again, or when no dialog came within 5 s).
  SaveAsSeen SaveAs(int commandId, const SaveAsAnswer& answer);

 private:
  Context& ctx_;
  std::wstring folder_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

// The clipboard as another program uses it. Opening it is retried for about a second (under
// Wine the X11 clipboard manager holds it now and then).
bool WriteClipboardText(const String& text);   // empties it, then CF_UNICODETEXT
bool WriteClipboardImage(UINT format);         // empties it, then a small picture: CF_BITMAP or CF_DIB
// The text in CF_UNICODETEXT, or the bytes in CF_TEXT as they stand; nothing when the
// clipboard holds no such text or cannot be opened.
std::optional<String> ReadClipboardText();
std::optional<std::string> ReadClipboardAnsiText();

// A copy made by another X program, as a browser's copy reaches Wine: runs xclip on the
// text (UTF-8), through a file in folder. False when xclip cannot run (not under Wine, or no
// xclip). xclip keeps serving the text until another program copies: end a case with a copy
// of the driver's own so that it exits.
bool CopyFromX(const std::wstring& folder, const std::string& utf8);

// A Linux program started under Wine in the background (program: its path in the Linux file
// system written with backslashes, commandLine: as the program reads it), its standard handles
// leading nowhere; false when it cannot run (not under Wine). UnixPath: a path on drive Z: as
// Linux names it.
bool StartLinuxProgram(const std::wstring& program, std::wstring commandLine);
std::wstring UnixPath(const std::wstring& windowsPath);

// Holds the clipboard open for ms milliseconds from a thread of its own, as another program
// that is slow to close it would. The constructor returns once the clipboard is open.
class ClipboardHold {
 public:
  explicit ClipboardHold(DWORD ms);
  ~ClipboardHold();  // waits for the hold to end
  ClipboardHold(const ClipboardHold&) = delete;
  ClipboardHold& operator=(const ClipboardHold&) = delete;
  bool opened() const { return opened_; }

 private:
  static DWORD WINAPI Run(LPVOID self);
  DWORD ms_;
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  bool opened_ = false;
};

// A well-behaved clipboard viewer of the driver's own: a window in a thread of its own that
// joins the viewer chain (SetClipboardViewer), counts WM_DRAWCLIPBOARD and passes the chain's
// messages on as a viewer must. Because a viewer gets the notice only after every window
// before it in the chain has handled it, a viewer that joined before Velnor learns that Velnor
// has handled a change when its own notice arrives.
class ClipboardViewer {
 public:
  ClipboardViewer();
  ~ClipboardViewer();  // leaves the chain if still in it
  ClipboardViewer(const ClipboardViewer&) = delete;
  ClipboardViewer& operator=(const ClipboardViewer&) = delete;

  bool joined() const { return joined_; }
  void Leave();  // ChangeClipboardChain from the viewer's own thread
  int notices() const { return notices_; }
  // Waits until more than count notices have arrived.
  bool WaitForNoticesAbove(int count, DWORD timeoutMs = 5000) const;
  // The next notice finds this viewer slow to let go of the clipboard, as a clipboard manager
  // that reads each copy can be: it opens the clipboard, passes the notice on while it holds
  // it, and closes it ms milliseconds later. A viewer that joined after Velnor comes before it
  // in the chain, so Velnor's notice of that copy always finds the clipboard held.
  void HoldOnNextNotice(DWORD ms) { holdMs_ = ms; }
  bool holding() const { return holding_; }

 private:
  static DWORD WINAPI Run(LPVOID self);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  HWND window_ = nullptr;
  HWND next_ = nullptr;  // used by the viewer's thread only
  std::atomic<bool> joined_{false};
  std::atomic<int> notices_{0};
  std::atomic<DWORD> holdMs_{0};
  std::atomic<bool> holding_{false};
};

// The layout units of the window (1/1440 inch) at the screen's resolution.
int ScreenDpi();
inline int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The system's user-interface font (the message font) at dpi, scaled from the system's DPI;
// the caller deletes it.
HFONT CreateUiFontAt(int dpi);

// The rectangle the system suggests with WM_DPICHANGED when a window moves from fromDpi to
// toDpi: its outer size scaled, its top-left corner kept.
RECT SuggestedDpiRect(HWND window, int fromDpi, int toDpi);
// WM_DPICHANGED as the system sends it to target, a window of process: the suggested
// rectangle is put into that process's memory, where the message's pointer must lead.
// Returns once the window has handled it; false when that failed.
bool SendDpiChanged(HANDLE process, HWND target, int dpi, const RECT& suggested);

// A control's rectangle in the main window's client coordinates.
RECT ClientRectOf(HWND window, HWND control);

// Real key presses (virtual key, down or up) through SendInput, for keys that need the key
// state, such as Ctrl+C; the program's window must be in the foreground.
void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys);

// Files as the case sees them: a file's bytes ("(cannot be read)" when it is missing or held
// open by another program without sharing), a file written whole, the names of the files in
// a folder, sorted (Velnor.exe and Velnor.ini left out), and those files removed (what an
// earlier run of a case left behind).
std::string FileContent(const std::wstring& path);
bool WriteFileContent(const std::wstring& path, const std::string& bytes);
std::vector<std::wstring> FilesInFolder(const std::wstring& folder);
void RemoveFilesInFolder(const std::wstring& folder);

}  // namespace velnor::e2e
