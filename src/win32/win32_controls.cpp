#include "win32/win32_controls.h"

#include "win32/win32_text.h"

namespace velnor {

String WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return String();
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
  return FromWide(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

namespace {

// A program's write (a field cut to its limit, above all) leaves the caret where the user was
// typing, at most at the new end, instead of at the start where WM_SETTEXT puts it: the next
// typed character, such as the second half of a surrogate pair, then follows the text.
void SetTextKeepingCaret(HWND hwnd, const String& text, bool combo) {
  DWORD start = 0, end = 0;
  SendMessageW(hwnd, combo ? CB_GETEDITSEL : EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  SetWindowTextW(hwnd, Wide(text));
  const auto length = static_cast<DWORD>(text.size());
  start = start < length ? start : length;
  end = end < length ? end : length;
  if (combo) {
    SendMessageW(hwnd, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
  } else {
    SendMessageW(hwnd, EM_SETSEL, start, static_cast<LPARAM>(end));
  }
}

}  // namespace

// ---- Win32TextBox

String Win32TextBox::GetText() const { return WindowText(hwnd_); }

void Win32TextBox::SetText(const String& text) {
  ++programWrites_;
  SetTextKeepingCaret(hwnd_, text, false);
  --programWrites_;
  Raise(Change);
}

void Win32TextBox::OnCommand(int code) {
  switch (code) {
    case EN_CHANGE:
      if (programWrites_ == 0) Raise(Change);
      break;
    case EN_SETFOCUS:
      Raise(GotFocus);
      break;
    case EN_KILLFOCUS:
      Raise(LostFocus);
      break;
    default:
      break;
  }
}

// ---- Win32ComboBox

String Win32ComboBox::GetText() const { return WindowText(hwnd_); }

void Win32ComboBox::WriteEditText(const String& text) {
  ++programWrites_;
  SetTextKeepingCaret(hwnd_, text, true);
  --programWrites_;
}

void Win32ComboBox::SetText(const String& text) {
  WriteEditText(text);
  Raise(Change);
}

int Win32ComboBox::Count() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }

String Win32ComboBox::Item(int index) const {
  if (index < 0 || index >= Count()) return String();
  const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return String();
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return copied > 0 ? FromWide(buffer.data(), static_cast<size_t>(copied)) : String();
}

void Win32ComboBox::AddItem(const String& text) {
  SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Wide(text)));
}

void Win32ComboBox::RemoveItem(int index) {
  if (index < 0 || index >= Count()) return;
  SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void Win32ComboBox::Clear() {
  // CB_RESETCONTENT empties the edit part too.
  const String text = GetText();
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  // cppcheck cannot see that the message changed what GetText reads.
  // cppcheck-suppress knownConditionTrueFalse
  if (GetText() != text) WriteEditText(text);
}

void Win32ComboBox::OnCommand(int code) {
  switch (code) {
    case CBN_EDITCHANGE:
      if (programWrites_ == 0) Raise(Change);
      break;
    case CBN_SELCHANGE: {
      const auto index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
      if (index < 0) break;
      // The control puts the chosen entry into its edit part only after this notification;
      // the handler reads the edit text, so it gets the entry now. This is not a change of
      // the text by typing: Click alone is raised.
      WriteEditText(Item(index));
      Raise(Click);
      break;
    }
    default:
      break;
  }
}

// ---- Win32ListBox

void Win32ListBox::Attach(HWND hwnd, bool multipleSelection) {
  hwnd_ = hwnd;
  multipleSelection_ = multipleSelection;
}

String Win32ListBox::Item(int index) const { return String(ItemText(index)); }

StringView Win32ListBox::ItemText(int index) const {
  if (!IsIndex(index)) return StringView();
  const Span& span = spans_[static_cast<size_t>(index)];
  return StringView(texts_).substr(span.offset, span.length);
}

std::vector<int> Win32ListBox::SelectedItems() const {
  if (!multipleSelection_) {
    const auto index = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
    return IsIndex(index) ? std::vector<int>{index} : std::vector<int>{};
  }
  const auto count = static_cast<int>(SendMessageW(hwnd_, LB_GETSELCOUNT, 0, 0));
  if (count <= 0) return {};
  std::vector<int> indices(static_cast<size_t>(count));
  const auto got = static_cast<int>(
      SendMessageW(hwnd_, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(indices.data())));
  indices.resize(static_cast<size_t>(got > 0 ? got : 0));
  return indices;
}

void Win32ListBox::AddItem(const String& text) {
  SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
  spans_.push_back({texts_.size(), text.size()});
  texts_ += text;
}

void Win32ListBox::RemoveItem(int index) {
  if (!IsIndex(index)) return;
  SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  // The text stays in the buffer until the list is emptied.
  spans_.erase(spans_.begin() + index);
}

void Win32ListBox::Clear() {
  // A shown list box repaints as it lets its items go: switch that off around the reset.
  const bool shown = Visible();
  if (shown) SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  if (shown) {
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  texts_.clear();
  spans_.clear();
}

bool Win32ListBox::Selected(int index) const {
  if (!IsIndex(index)) return false;
  return SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void Win32ListBox::SetSelected(int index, bool selected) {
  if (!IsIndex(index)) return;
  if (multipleSelection_) {
    SendMessageW(hwnd_, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
  } else if (selected) {
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  } else if (Selected(index)) {
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

void Win32ListBox::SetAllSelected(bool selected) {
  if (multipleSelection_) {
    SendMessageW(hwnd_, LB_SETSEL, selected ? TRUE : FALSE, -1);
  } else if (!selected) {
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

void Win32ListBox::SetVisible(bool visible) {
  if (visible) {
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    ShowWindow(hwnd_, SW_SHOWNA);
    InvalidateRect(hwnd_, nullptr, TRUE);
  } else {
    ShowWindow(hwnd_, SW_HIDE);
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  }
}

bool Win32ListBox::Visible() const { return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Win32ListBox::ReserveItems(int count) {
  if (count <= 0) return;
  // Room for the items and, as a guess, 64 characters of text each.
  constexpr size_t kGuessedLength = 64;
  spans_.reserve(spans_.size() + static_cast<size_t>(count));
  texts_.reserve(texts_.size() + static_cast<size_t>(count) * kGuessedLength);
  SendMessageW(hwnd_, LB_INITSTORAGE, static_cast<WPARAM>(count),
               static_cast<LPARAM>(count) * static_cast<LPARAM>(kGuessedLength * sizeof(wchar_t)));
}

void Win32ListBox::SetHorizontalExtent(int pixels) {
  SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels), 0);
}

HCURSOR Win32ListBox::Cursor() const {
  return pointer_ == kPointerHourglass ? LoadCursorW(nullptr, IDC_WAIT) : nullptr;
}

void Win32ListBox::SetMousePointer(MousePointer pointer) {
  pointer_ = pointer;
  // WM_SETCURSOR comes only when the mouse moves: a pointer already over the box changes now.
  POINT at{};
  if (GetCursorPos(&at) && WindowFromPoint(at) == hwnd_) {
    SetCursor(pointer == kPointerHourglass ? Cursor() : LoadCursorW(nullptr, IDC_ARROW));
  }
}

void Win32ListBox::OnCommand(int code) {
  if (code == LBN_SELCHANGE) Raise(Click);
}

// ---- Win32CheckBox

int Win32CheckBox::Value() const { return static_cast<int>(SendMessageW(hwnd_, BM_GETCHECK, 0, 0)); }

void Win32CheckBox::SetValue(int value) { SendMessageW(hwnd_, BM_SETCHECK, static_cast<WPARAM>(value), 0); }

void Win32CheckBox::OnCommand(int code) {
  if (code == BN_CLICKED) SetValue(Value() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
}

// ---- Win32OptionButton

bool Win32OptionButton::Value() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Win32OptionButton::Check(bool checked) {
  SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
  style = checked ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
}

void Win32OptionButton::Select() {
  if (Value()) return;
  if (group_) {
    for (Win32OptionButton* other : *group_) {
      if (other != this) other->Check(false);
    }
  }
  Check(true);
  Raise(Selected);
}

void Win32OptionButton::OnCommand(int code) {
  if (code == BN_CLICKED) Select();
}

}  // namespace velnor
