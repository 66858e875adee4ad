#pragma once
// Text that stays whole in controls laid out for a lower font than the system's. Japanese
// Windows' user-interface fonts have a tall line (a wide internal leading above the
// characters): List1, the text boxes and the combo boxes' fields, one line high by their
// layout, are lower than that line. These helpers keep each control's size and give the text
// the room its border leaves blank, or move it.
#include <windows.h>

namespace velnor {

// Call after each WM_SETFONT (at creation and at a new DPI). A list box that draws its own
// items (LBS_OWNERDRAWFIXED) gets items as high as the font's line, as the list box itself
// would make them. An edit with a sunken edge whose line is higher than the edge leaves keeps
// one pixel of the edge on top and below (the visual styles draw no more). A check box whose
// caption starts with a blank and is wider than the room beside its box aligns it to the
// right, so that the blank, not the end, is cut.
void FitTextToControl(HWND control, HFONT font, int dpi);

// A drop-down combo box whose line is higher than its edit: the edit takes the pixel of
// padding above and below it too. Call after the combo box has placed its edit (a new font,
// a new field height).
void FitComboEdit(HWND combo, HFONT font);

// WM_MEASUREITEM of such a list box: the font's line height.
void MeasureOwnerDrawnItem(MEASUREITEMSTRUCT& item, HFONT font);

// WM_DRAWITEM of such a list box: the item's text as the list box draws it, except that when
// the box shows less than a line, the characters (the line less its internal leading) are
// centred in what it shows rather than cut at the bottom.
void DrawOwnerDrawnItem(const DRAWITEMSTRUCT& item, HFONT font);

}  // namespace velnor
