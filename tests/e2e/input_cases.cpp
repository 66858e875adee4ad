// The input fields on the real controls: focus order, the URL prompt, Combo3 and Text(2),
// the number limits, the pattern samples and the option buttons.
#include "driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

const String kPrompt = u"URLをここに貼付けるか、入力して下さい。";

// The control whose window has the focus (a combo box for the focus in its edit part).
int FocusedId(const Velnor& app) {
  HWND focus = app.Focus();
  if (!focus) return 0;
  if (GetParent(focus) != app.window()) focus = GetParent(focus);
  return focus && GetParent(focus) == app.window() ? GetDlgCtrlID(focus) : -1;
}

// Presses Tab in the focused window and returns the id of the control that gets the focus.
int PressTab(Velnor& app) {
  HWND from = app.Focus();
  app.PostKey(from ? from : app.window(), VK_TAB);
  WaitUntil([&] { return app.Focus() != from; }, 2000);
  return FocusedId(app);
}

}  // namespace

E2E_CASE(tab_order) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  // Tab runs through the visible controls in this order and starts over; of the option
  // group only the selected button (the first while none is) is a stop.
  auto expected = [&](int optionStop) {
    return std::vector<int>{ids::kUrltxt,   ids::kCheck1, ids::kText1,  ids::kCheck2, ids::kCopy,
                            ids::kCheckund, ids::kUrllist, ids::kRenban, optionStop,   ids::kCombo1,
                            ids::kList1,    ids::kCombo2,  ids::kCheck3, ids::kCombo3, ids::kUrltxt};
  };
  // Start from the control before urltxt in the cycle.
  app.ClickAt(app.ComboEdit(ids::kCombo3), 2, 2);
  E2E_REQUIRE(FocusedId(app) == ids::kCombo3);
  const int firstStop = app.CheckValue(ids::kOption1) == BST_CHECKED ? ids::kOption1 : ids::kOption0;
  std::vector<int> order;
  for (int i = 0; i < 15; ++i) order.push_back(PressTab(app));
  E2E_CHECK_EQ(order, expected(firstStop));

  // With Option1 selected, the Tab key reaches Option1 instead.
  app.Click(ids::kOption1);
  app.ClickAt(app.ComboEdit(ids::kCombo3), 2, 2);
  order.clear();
  for (int i = 0; i < 15; ++i) order.push_back(PressTab(app));
  E2E_CHECK_EQ(order, expected(ids::kOption1));
}

E2E_CASE(url_prompt) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  HWND url = app.Control(ids::kUrltxt);
  HWND other = app.Control(ids::kText1);
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), kPrompt);

  struct Step {
    const char* what;
    const char16_t* typed;  // typed after the click into urltxt
    const char16_t* whileFocused;
    const char16_t* afterLeaving;
  };
  const Step steps[] = {
      {"prompt is emptied, and comes back when left empty", u"", u"", kPrompt.c_str()},
      {"a single blank stays", u" ", u" ", u" "},
      {"a URL stays", u"http://example.com/a/", u" http://example.com/a/", u" http://example.com/a/"},
  };
  for (const Step& s : steps) {
    ctx.SetScope(s.what);
    app.ClickAt(url, 5, 5);
    E2E_CHECK(app.Focus() == url);
    SendMessageW(url, WM_KEYDOWN, VK_END, 0);
    app.Type(url, s.typed);
    E2E_CHECK_EQ(app.Text(ids::kUrltxt), String(s.whileFocused));
    app.ClickAt(other, 5, 5);
    E2E_CHECK(app.Focus() == other);
    E2E_CHECK_EQ(app.Text(ids::kUrltxt), String(s.afterLeaving));
  }
  // A text that only looks like the prompt is not emptied on focus.
  ctx.SetScope("prompt plus one character");
  app.SetText(ids::kUrltxt, kPrompt + u"x");
  app.ClickAt(url, 5, 5);
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), kPrompt + u"x");
}

E2E_CASE(combo3_typing) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  HWND edit = app.ComboEdit(ids::kCombo3);
  E2E_REQUIRE(edit != nullptr);
  struct Row {
    const char16_t* typed;
    const char16_t* combo3;
    const char16_t* text2;
  };
  const Row rows[] = {
      {u"1g", u"", u""},     // a letter beyond f in last place throws the value away
      {u"123", u"12", u"12"},  // the third character is cut off
      {u"1F", u"1F", u"1F"},   // a capital letter stays
      {u"2c", u"2c", u"2c"},
      {u"9", u"9", u"9"},
      {u"g", u"", u""},
      // A character beyond the basic plane (one WM_CHAR a surrogate) counts one, never halved.
      {u"1\U0001F600", u"1\U0001F600", u"1\U0001F600"},
      {u"12\U0001F600", u"12", u"12"},
  };
  for (const Row& r : rows) {
    ctx.SetScope(ToUtf8(r.typed));
    // Empty the field as a user would (select all, delete): the change reaches Text(2).
    app.Erase(edit);
    E2E_CHECK_EQ(app.Text(ids::kText2), String());
    app.Type(edit, r.typed);
    E2E_CHECK_EQ(app.Text(ids::kCombo3), String(r.combo3));
    E2E_CHECK_EQ(app.Text(ids::kText2), String(r.text2));
  }
}

E2E_CASE(combo3_choice) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  HWND combo = app.Control(ids::kCombo3);
  HWND edit = app.ComboEdit(ids::kCombo3);
  // The list stands on 2b (set without a notice, Text(2) stays empty); the Down key chooses
  // the next entry, 2c.
  SendMessageW(combo, CB_SETCURSEL, 43, 0);
  E2E_CHECK_EQ(app.Text(ids::kText2), String());
  SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(edit, WM_KEYUP, VK_DOWN, 0);
  E2E_CHECK_EQ(app.Text(ids::kCombo3), String(u"2c"));
  E2E_CHECK_EQ(app.Text(ids::kText2), String(u"2c"));

  // A click on an entry of the dropped-down list: 0a.
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  HWND list = nullptr;
  WaitUntil([&] {
    list = nullptr;
    for (HWND w = FindWindowW(L"ComboLBox", nullptr); w; w = FindWindowExW(nullptr, w, L"ComboLBox", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == app.processId() && IsWindowVisible(w)) list = w;
    }
    return list != nullptr;
  });
  E2E_REQUIRE(list != nullptr);
  SendMessageW(list, LB_SETTOPINDEX, 10, 0);
  const auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  const LPARAM at = MAKELPARAM(5, height / 2);
  SendMessageW(list, WM_MOUSEMOVE, 0, at);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  WaitUntil([&] { return app.Text(ids::kText2) == u"0a"; }, 2000);
  E2E_CHECK_EQ(app.Text(ids::kCombo3), String(u"0a"));
  E2E_CHECK_EQ(app.Text(ids::kText2), String(u"0a"));
}

E2E_CASE(text1_limit) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  HWND text1 = app.Control(ids::kText1);
  struct Row {
    const char16_t* typed;
    const char16_t* stays;
  };
  const Row rows[] = {
      {u"1234", u"123"},
      {u"g", u"g"},              // the letter check looks only at Combo3
      {u"１２３４", u"１２３"},  // a full-width character counts one
      {u"3e4", u"3e4"},
      {u"12\U00020BB7", u"12\U00020BB7"},  // a surrogate pair counts one
      {u"123\U00020BB7", u"123"},
  };
  for (const Row& r : rows) {
    ctx.SetScope(ToUtf8(r.typed));
    app.SetText(ids::kText1, u"");
    app.Type(text1, r.typed);
    E2E_CHECK_EQ(app.Text(ids::kText1), String(r.stays));
  }
}

E2E_CASE(pattern_samples) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  struct Row {
    int entry;
    int check3, check1, checkund, check2;
  };
  const Row rows[] = {{0, 1, 1, 1, 1}, {1, 0, 1, 0, 0}, {0, 1, 1, 1, 1}};
  for (const Row& r : rows) {
    ctx.SetScope("entry " + std::to_string(r.entry));
    // Boxes set the other way first, so every value has to be written by the click.
    for (int id : {ids::kCheck3, ids::kCheck1, ids::kCheckund, ids::kCheck2}) app.SetCheck(id, 1 - (id == ids::kCheck1));
    app.ClickListEntry(ids::kList1, r.entry);
    E2E_CHECK_EQ(static_cast<int>(SendMessageW(app.Control(ids::kList1), LB_GETCURSEL, 0, 0)), r.entry);
    E2E_CHECK_EQ(app.CheckValue(ids::kCheck3), r.check3);
    E2E_CHECK_EQ(app.CheckValue(ids::kCheck1), r.check1);
    E2E_CHECK_EQ(app.CheckValue(ids::kCheckund), r.checkund);
    E2E_CHECK_EQ(app.CheckValue(ids::kCheck2), r.check2);
  }
  // Clicking the sample that is already selected sets the boxes again.
  ctx.SetScope("same entry again");
  app.SetCheck(ids::kCheck1, 0);
  app.ClickListEntry(ids::kList1, 0);
  E2E_CHECK_EQ(app.CheckValue(ids::kCheck1), 1);
  // A check box keeps the greyed value 2 until the user clicks it.
  ctx.SetScope("greyed");
  SendMessageW(app.Control(ids::kCheck2), BM_SETCHECK, BST_INDETERMINATE, 0);
  E2E_CHECK_EQ(app.CheckValue(ids::kCheck2), 2);
  app.Click(ids::kCheck2);
  E2E_CHECK_EQ(app.CheckValue(ids::kCheck2), 1);
  app.Click(ids::kCheck2);
  E2E_CHECK_EQ(app.CheckValue(ids::kCheck2), 0);
}

E2E_CASE(option_buttons) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  HWND text1 = app.Control(ids::kText1);
  struct Step {
    int click;
    bool option0, option1;
    const char16_t* text1After;  // Text(1) held 50 before the click
  };
  const Step steps[] = {
      {ids::kOption1, false, true, u""},
      {ids::kOption1, false, true, u"50"},  // already selected: nothing happens
      {ids::kOption0, true, false, u""},
      {ids::kOption0, true, false, u"50"},
      {ids::kOption1, false, true, u""},
  };
  int n = 0;
  for (const Step& s : steps) {
    ctx.SetScope("step " + std::to_string(++n));
    app.SetText(ids::kText1, u"");
    app.Type(text1, u"50");
    app.Click(s.click);
    E2E_CHECK_EQ(app.CheckValue(ids::kOption0) == BST_CHECKED, s.option0);
    E2E_CHECK_EQ(app.CheckValue(ids::kOption1) == BST_CHECKED, s.option1);
    E2E_CHECK_EQ(app.Text(ids::kText1), String(s.text1After));
  }
}

}  // namespace velnor::e2e
