#pragma once
// Thin wrappers over the controls of a dialog. They hold the control's window handle only and own
// nothing: the dialog destroys its controls.
#include <windows.h>

#include <string>
#include <vector>

class UseControl {
public:
    explicit UseControl(HWND handle = nullptr) : handle_(handle) {}
    HWND Handle() const { return handle_; }

    std::string Text() const;
    void SetText(const std::string& text) const;

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    HWND handle_;
};

using UseEdit = UseControl;

class UseListBox : public UseControl {
public:
    using UseControl::UseControl;

    void Reset() const;
    // Adds text; a list created sorted puts it in its own sorted place. Returns the item's index.
    int AddString(const std::string& text) const;
    int Count() const;
    // The index of the current selection, or -1 when nothing is selected.
    int CurrentSelection() const;
    // Selects the item at index; -1 clears the selection.
    void SetCurrentSelection(int index) const;
    std::string ItemText(int index) const;
    // The text of the current selection, empty when nothing is selected.
    std::string SelectedText() const;
    // The index of the item whose text is exactly text (letter case ignored, as the list compares),
    // or -1.
    int FindExact(const std::string& text) const;

    int HorizontalExtent() const;
    void SetHorizontalExtent(int pixels) const;
    // Empties the list, adds every item (a sorted list puts each in its place) and sets the horizontal
    // extent to the widest item's width, so that long items can be scrolled into view.
    void Fill(const std::vector<std::string>& items) const;

private:
    // The width in pixels of the widest text drawn with the list's own font.
    int WidestOf(const std::vector<std::string>& texts) const;
};

class UseRichEdit : public UseControl {
public:
    using UseControl::UseControl;

    // Inserts text at the caret, replacing the selection if there is one.
    void ReplaceSelection(const std::string& text) const;
    // The number of character positions in the text; the end of a paragraph counts as one.
    int Length() const;
    // Puts the caret at a character position, with nothing selected.
    void SetCaret(int position) const;
    // Scrolls the line that holds the character position to the top of the control, or as near the
    // top as the text below it allows, with the top line shown whole.
    void ScrollToTop(int position) const;
    // Wraps lines at the control's own width.
    void WrapAtWindowWidth() const;
};

// Loads the rich-edit library so that dialog templates can create its controls. Call before the
// first dialog that holds one opens; later calls do nothing.
void UseLoadRichEdit();
