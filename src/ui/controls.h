#pragma once
// The kinds of control the procedures work on, as interfaces: a model of values implements
// them for tests (model_controls.h), real Win32 controls for the program (src/win32). Each
// event the program handles is a callback that the window's wiring fills in (event_wiring.h).
#include <functional>
#include <vector>

#include "base/text.h"

namespace velnor {

// Runs an event callback if one is wired.
inline void Raise(const std::function<void()>& handler) {
  if (handler) handler();
}

// A single-line text box, or the edit part of a combo box.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual String GetText() const = 0;
  // Replaces the text; the change handling runs at once, nested inside the caller.
  virtual void SetText(const String& text) = 0;

  std::function<void()> Change;
  std::function<void()> GotFocus;
  std::function<void()> LostFocus;
};

// Items numbered from 0; reading past the end yields empty text.
class ItemList {
 public:
  virtual ~ItemList() = default;
  virtual int Count() const = 0;
  virtual String Item(int index) const = 0;
  virtual void AddItem(const String& text) = 0;
  virtual void RemoveItem(int index) = 0;  // an index that names no item is ignored
  virtual void Clear() = 0;
};

// Mouse pointers over a control, with their traditional numbers.
enum MousePointer : int { kPointerDefault = 0, kPointerHourglass = 11 };

class ListBox : public ItemList {
 public:
  // The text of an item without a copy, empty past the end; valid until the list changes.
  virtual StringView ItemText(int index) const = 0;
  // The indices of the selected items in list order, found with one query (LB_GETSELITEMS).
  virtual std::vector<int> SelectedItems() const = 0;
  virtual bool Selected(int index) const = 0;
  virtual void SetSelected(int index, bool selected) = 0;
  // LB_SETSEL with index -1: selects or clears every item at once.
  virtual void SetAllSelected(bool selected) = 0;
  // Hidden while filled or read in bulk; a hidden list also stops redrawing.
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // A hint before a bulk fill; the list may ignore it.
  virtual void ReserveItems(int count) = 0;
  // LB_SETHORIZONTALEXTENT, in pixels.
  virtual void SetHorizontalExtent(int pixels) = 0;
  virtual void SetMousePointer(MousePointer pointer) = 0;

  std::function<void()> Click;
};

// A drop-down combo box: editable text and a list of choices.
class ComboBox : public TextBox, public ItemList {
 public:
  std::function<void()> Click;  // an entry of the list was chosen
};

class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual int Value() const = 0;           // 0 clear, 1 ticked, 2 greyed
  virtual void SetValue(int value) = 0;    // no event
};

class OptionButton {
 public:
  virtual ~OptionButton() = default;
  virtual bool Value() const = 0;
  // Selecting clears the other button of the group and raises Selected when the button was
  // not selected before, as a click on it would.
  virtual void Select() = 0;

  std::function<void()> Selected;
};

}  // namespace velnor
