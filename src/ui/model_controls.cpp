#include "ui/model_controls.h"

namespace velnor {

void ModelTextBox::SetText(const String& text) {
  text_ = text;
  Raise(Change);
}

String ModelListBox::Item(int index) const { return IsIndex(index) ? items_[index] : String(); }

StringView ModelListBox::ItemText(int index) const { return IsIndex(index) ? StringView(items_[index]) : StringView(); }

std::vector<int> ModelListBox::SelectedItems() const {
  std::vector<int> indices;
  for (int i = 0; i < Count(); ++i) {
    if (selected_[i]) indices.push_back(i);
  }
  return indices;
}

void ModelListBox::AddItem(const String& text) {
  items_.push_back(text);
  selected_.push_back(0);
}

void ModelListBox::RemoveItem(int index) {
  if (!IsIndex(index)) return;
  items_.erase(items_.begin() + index);
  selected_.erase(selected_.begin() + index);
}

void ModelListBox::Clear() {
  items_.clear();
  selected_.clear();
}

bool ModelListBox::Selected(int index) const { return IsIndex(index) && selected_[index] != 0; }

void ModelListBox::SetSelected(int index, bool selected) {
  if (!IsIndex(index)) return;
  if (selected && !multipleSelection_) SetAllSelected(false);
  selected_[index] = selected ? 1 : 0;
}

void ModelListBox::SetAllSelected(bool selected) {
  // A single-selection list box refuses "select all", as LB_SETSEL does.
  if (selected && !multipleSelection_) return;
  for (auto& s : selected_) s = selected ? 1 : 0;
}

void ModelListBox::ReserveItems(int count) {
  if (count <= 0) return;
  items_.reserve(items_.size() + static_cast<size_t>(count));
  selected_.reserve(selected_.size() + static_cast<size_t>(count));
}

void ModelListBox::ClickItem(int index, bool control) {
  if (!IsIndex(index)) return;
  if (multipleSelection_ && control) {
    selected_[index] = selected_[index] ? 0 : 1;
  } else {
    for (auto& s : selected_) s = 0;
    selected_[index] = 1;
  }
  Raise(Click);
}

void ModelComboBox::SetText(const String& text) {
  text_ = text;
  Raise(Change);
}

String ModelComboBox::Item(int index) const {
  return index >= 0 && index < Count() ? items_[index] : String();
}

void ModelComboBox::RemoveItem(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void ModelComboBox::Choose(int index) {
  if (index < 0 || index >= Count()) return;
  text_ = items_[index];
  Raise(Click);
}

void ModelOptionButton::Select() {
  if (value_) return;
  if (group_) {
    for (ModelOptionButton* other : *group_) other->value_ = false;
  }
  value_ = true;
  Raise(Selected);
}

}  // namespace velnor
