#pragma once
// Controls as plain values: the main window without windows, for tests, fuzzers and
// benchmarks. Every operation is what the real control does, minus the pixels.
#include <vector>

#include "ui/controls.h"

namespace velnor {

class ModelTextBox : public TextBox {
 public:
  String GetText() const override { return text_; }
  void SetText(const String& text) override;

 private:
  String text_;
};

class ModelListBox : public ListBox {
 public:
  explicit ModelListBox(bool multipleSelection = false) : multipleSelection_(multipleSelection) {}

  int Count() const override { return static_cast<int>(items_.size()); }
  String Item(int index) const override;
  StringView ItemText(int index) const override;
  std::vector<int> SelectedItems() const override;
  void AddItem(const String& text) override;
  void RemoveItem(int index) override;
  void Clear() override;
  bool Selected(int index) const override;
  void SetSelected(int index, bool selected) override;
  void SetAllSelected(bool selected) override;
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void ReserveItems(int count) override;
  void SetHorizontalExtent(int pixels) override { horizontalExtent_ = pixels; }
  void SetMousePointer(MousePointer pointer) override { mousePointer_ = pointer; }

  // What a test reads back.
  int HorizontalExtent() const { return horizontalExtent_; }
  MousePointer CurrentMousePointer() const { return mousePointer_; }
  const std::vector<String>& Items() const { return items_; }
  // A click by the user on item index (with Ctrl held: toggles it in a multiple selection).
  void ClickItem(int index, bool control = false);

 private:
  bool IsIndex(int index) const { return index >= 0 && index < Count(); }

  bool multipleSelection_;
  std::vector<String> items_;
  std::vector<char> selected_;
  bool visible_ = true;
  int horizontalExtent_ = 0;
  MousePointer mousePointer_ = kPointerDefault;
};

class ModelComboBox : public ComboBox {
 public:
  String GetText() const override { return text_; }
  void SetText(const String& text) override;
  int Count() const override { return static_cast<int>(items_.size()); }
  String Item(int index) const override;
  void AddItem(const String& text) override { items_.push_back(text); }
  void RemoveItem(int index) override;
  void Clear() override { items_.clear(); }

  // The user chooses entry index of the list: the edit text becomes it, then Click.
  void Choose(int index);
  const std::vector<String>& Items() const { return items_; }

 private:
  String text_;
  std::vector<String> items_;
};

class ModelCheckBox : public CheckBox {
 public:
  int Value() const override { return value_; }
  void SetValue(int value) override { value_ = value; }

 private:
  int value_ = 0;
};

// One of a group of option buttons; selecting it clears the others of its group.
class ModelOptionButton : public OptionButton {
 public:
  bool Value() const override { return value_; }
  void Select() override;
  void JoinGroup(std::vector<ModelOptionButton*>* group) { group_ = group; }

 private:
  bool value_ = false;
  std::vector<ModelOptionButton*>* group_ = nullptr;
};

}  // namespace velnor
