#pragma once
// The control interfaces of the procedures on real Win32 controls: each operation is one
// message to the control. The main window's WM_COMMAND dispatch hands each control the
// notifications sent for it (OnCommand), and the control raises its callbacks from them.
#include <windows.h>

#include <vector>

#include "ui/controls.h"

namespace velnor {

// Receives the WM_COMMAND notification codes of one control.
class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  virtual void OnCommand(int code) = 0;
};

// Single-line edit. A program's write raises Change itself, once, right after the text is in
// the box; the EN_CHANGE that the write also causes is not passed on.
class Win32TextBox : public TextBox, public CommandTarget {
 public:
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Handle() const { return hwnd_; }

  String GetText() const override;
  void SetText(const String& text) override;
  void OnCommand(int code) override;

 private:
  HWND hwnd_ = nullptr;
  int programWrites_ = 0;
};

// Drop-down combo box (CBS_DROPDOWN). The control does not notify a WM_SETTEXT at all, so a
// program's write raises Change here. A choice from the list arrives as CBN_SELCHANGE before
// the control copies the entry into its edit part: the edit text is set first, then Click.
class Win32ComboBox : public ComboBox, public CommandTarget {
 public:
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Handle() const { return hwnd_; }

  String GetText() const override;
  void SetText(const String& text) override;
  int Count() const override;
  String Item(int index) const override;
  void AddItem(const String& text) override;
  void RemoveItem(int index) override;
  // Empties the list; the edit text stays, as the list's owner expects.
  void Clear() override;
  void OnCommand(int code) override;

 private:
  void WriteEditText(const String& text);

  HWND hwnd_ = nullptr;
  int programWrites_ = 0;
};

// List box. The item texts are mirrored, so reading them back (the whole list, when the
// result list is measured) costs no message per item. The mirror keeps all texts in one
// buffer: filling the result list with thousands of URLs then costs no allocation per item.
class Win32ListBox : public ListBox, public CommandTarget {
 public:
  void Attach(HWND hwnd, bool multipleSelection);
  HWND Handle() const { return hwnd_; }

  int Count() const override { return static_cast<int>(spans_.size()); }
  String Item(int index) const override;
  StringView ItemText(int index) const override;
  std::vector<int> SelectedItems() const override;
  void AddItem(const String& text) override;
  void RemoveItem(int index) override;
  void Clear() override;
  bool Selected(int index) const override;
  void SetSelected(int index, bool selected) override;
  void SetAllSelected(bool selected) override;
  // Hidden, the box also stops redrawing (WM_SETREDRAW): a hidden list box still repaints
  // its scroll bar for every added item otherwise.
  void SetVisible(bool visible) override;
  bool Visible() const override;
  void ReserveItems(int count) override;
  void SetHorizontalExtent(int pixels) override;
  void SetMousePointer(MousePointer pointer) override;
  void OnCommand(int code) override;

  // The cursor the window shows over this box (WM_SETCURSOR), or null for the class cursor.
  HCURSOR Cursor() const;

 private:
  bool IsIndex(int index) const { return index >= 0 && index < Count(); }

  HWND hwnd_ = nullptr;
  bool multipleSelection_ = false;
  struct Span {
    size_t offset;
    size_t length;
  };
  String texts_;             // every item's text, one after the other
  std::vector<Span> spans_;  // where item i stands in texts_
  MousePointer pointer_ = kPointerDefault;
};

// Check box with the values 0, 1 and 2 (BS_3STATE): a click toggles between clear and
// ticked, and a greyed 2 set by the program stays until then.
class Win32CheckBox : public CheckBox, public CommandTarget {
 public:
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Handle() const { return hwnd_; }

  int Value() const override;
  void SetValue(int value) override;
  void OnCommand(int code) override;

 private:
  HWND hwnd_ = nullptr;
};

// Option button of a group (BS_RADIOBUTTON, checked by the program, not by the control).
// As in a dialog's option group, the Tab key reaches only the selected button of the group.
class Win32OptionButton : public OptionButton, public CommandTarget {
 public:
  void Attach(HWND hwnd, std::vector<Win32OptionButton*>* group) {
    hwnd_ = hwnd;
    group_ = group;
  }
  HWND Handle() const { return hwnd_; }

  bool Value() const override;
  void Select() override;
  void OnCommand(int code) override;

 private:
  void Check(bool checked);

  HWND hwnd_ = nullptr;
  std::vector<Win32OptionButton*>* group_ = nullptr;
};

}  // namespace velnor
