#pragma once
// What the procedures share besides the window's controls: the program-wide variables and the
// platform services. Every procedure takes it as its one argument.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "base/platform.h"
#include "download/download_options.h"
#include "ui/form1.h"

namespace velnor {

class ClipboardPlatform;  // clipboard/clipboard_platform.h
class ProfilePlatform;    // settings/profile_platform.h
class ShellPlatform;      // app/shell_platform.h
class ListFilePlatform;   // app/list_file_platform.h
class MainWindowFrame;    // app/main_window_frame.h

// Slots 1..10 carry the settings keys SUBFOLDERn / KAKUTYOUSIn; slot 0 is never used.
using HistorySlots = std::array<String, 11>;

// How far the shut-down has gone (src/app/lifecycle.h): its steps run once, whether the
// window is closed or Windows ends the session.
enum class ShutDownState { kRunning, kInProgress, kSessionEnded };

struct Program {
  Form1 form;
  Platform* platform = nullptr;
  ClipboardPlatform* clipboard = nullptr;
  ProfilePlatform* profile = nullptr;
  ShellPlatform* shell = nullptr;
  ListFilePlatform* listFile = nullptr;  // saving urllist to a file
  MainWindowFrame* frame = nullptr;  // the main window's caption and size

  // The first value of the first running number, 0 or 1; set by the option buttons.
  double startNumber = 0;
  // Leading-number values of Text(1) and Text(2), as the list builders last read them.
  double firstEndNumber = 0;
  double secondEndNumber = 0;

  HistorySlots subfolderHistory;
  HistorySlots extensionHistory;

  // The program's folder, always ending in "\"; set at start-up.
  String programFolder;
  // The folder of the last list file saved in this run, ending in "\"; empty before.
  String lastSaveFolder;

  // Split every URL the clipboard watcher takes into the fields at once (the Edit menu's
  // check item, kept in the settings file); off unless the user turns it on.
  bool autoSplit = false;
  // After such a split, search for the rest of the series (the Edit menu's check item, kept
  // in the settings file); off unless the user turns it on.
  bool autoFind = false;

  // What follows once a URL the clipboard watcher took has been split into the fields. The
  // program wires it at start (src/app/command_wiring.h), so that the watcher needs nothing
  // of the search that follows; nothing follows while it is empty.
  std::function<void()> CopiedUrlSplit;

  // Take copied text beginning with "https://" as well (the Edit menu's check item, kept in
  // the settings file); off unless the user turns it on.
  bool copyHttps = false;

  // The command line's hand-off (src/app/handed_url.h): whether the program was started with
  // any argument, and the URL that the first argument the rule takes hands.
  bool startedWithArguments = false;
  std::optional<String> startUrl;

  // The URL the last split took into the fields (Ctrl+D, or a copied URL split by itself):
  // the item the user had in hand, which the search knows to exist while the fields still
  // list it. Empty before any split.
  String splitUrl;

  // The download window's choices (the options section).
  DownloadOptions downloadOptions;

  // The clipboard watcher: the next window of the viewer chain and the window procedure
  // that the watcher replaced (both 0 while none).
  uintptr_t nextClipboardViewer = 0;
  uintptr_t previousWindowProc = 0;
  // Reads still to try from the retry timer after a notice found the clipboard held by
  // another program; 0 while no retry is pending.
  int clipboardRetriesLeft = 0;

  ShutDownState shutDown = ShutDownState::kRunning;
};

}  // namespace velnor
