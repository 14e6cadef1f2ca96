#include "platform/DialogControls.h"

#include "platform/LazyFunction.h"

#include <richedit.h>

#include <algorithm>
#include <vector>

namespace {
// Only a dialog measures text: the program imports no more than a command-line run needs.
auto selectObject = USE_LAZY_FUNCTION("gdi32.dll", SelectObject);
auto textExtent = USE_LAZY_FUNCTION("gdi32.dll", GetTextExtentPoint32A);
} // namespace

std::string UseControl::Text() const {
    const int length = GetWindowTextLengthA(handle_);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(handle_, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<std::size_t>(std::max(copied, 0)));
}

void UseControl::SetText(const std::string& text) const {
    SetWindowTextA(handle_, text.c_str());
}

LRESULT UseControl::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(handle_, message, wParam, lParam);
}

void UseListBox::Reset() const {
    Send(LB_RESETCONTENT);
}

int UseListBox::AddString(const std::string& text) const {
    return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int UseListBox::Count() const {
    return static_cast<int>(Send(LB_GETCOUNT));
}

int UseListBox::CurrentSelection() const {
    return static_cast<int>(Send(LB_GETCURSEL));
}

void UseListBox::SetCurrentSelection(int index) const {
    Send(LB_SETCURSEL, static_cast<WPARAM>(index));
}

std::string UseListBox::ItemText(int index) const {
    const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR) return "";
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == LB_ERR) return "";
    return std::string(buffer.data(), static_cast<std::size_t>(copied));
}

std::string UseListBox::SelectedText() const {
    const int selection = CurrentSelection();
    return selection == LB_ERR ? std::string() : ItemText(selection);
}

int UseListBox::FindExact(const std::string& text) const {
    return static_cast<int>(
        Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
}

int UseListBox::WidestOf(const std::vector<std::string>& texts) const {
    // One drawing surface for all of them: a list of thousands is measured in one pass.
    HDC surface = GetDC(Handle());
    if (surface == nullptr) return 0;
    const auto font = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    HGDIOBJ previous = font != nullptr ? selectObject(surface, font) : nullptr;
    int widest = 0;
    for (const std::string& text : texts) {
        SIZE size = {};
        textExtent(surface, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    if (previous != nullptr) selectObject(surface, previous);
    ReleaseDC(Handle(), surface);
    return widest;
}

int UseListBox::HorizontalExtent() const {
    return static_cast<int>(Send(LB_GETHORIZONTALEXTENT));
}

void UseListBox::SetHorizontalExtent(int pixels) const {
    Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels));
}

void UseListBox::Fill(const std::vector<std::string>& items) const {
    // Laid out and drawn once when full, not once for every item added: a list of thousands of items
    // otherwise redraws its scroll bar thousands of times.
    Send(WM_SETREDRAW, FALSE);
    Reset();
    // Room for every item at once, rather than the list growing its storage a few items at a time.
    std::size_t bytes = 0;
    for (const std::string& item : items)
        bytes += item.size() + 1;
    Send(LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    for (const std::string& item : items)
        AddString(item);
    SetHorizontalExtent(WidestOf(items));
    Send(WM_SETREDRAW, TRUE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void UseRichEdit::ReplaceSelection(const std::string& text) const {
    Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

int UseRichEdit::Length() const {
    GETTEXTLENGTHEX request = {GTL_NUMCHARS, CP_ACP};
    return static_cast<int>(Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request)));
}

void UseRichEdit::SetCaret(int position) const {
    Send(EM_SETSEL, position, position);
}

void UseRichEdit::ScrollToTop(int position) const {
    const LRESULT line = Send(EM_LINEFROMCHAR, position);
    Send(EM_LINESCROLL, 0, line - Send(EM_GETFIRSTVISIBLELINE));
    // Where the text below is too short to bring the line to the top, the control may stop part way
    // into a line: the top line is then shown whole.
    RECT shown = {};
    Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    POINTL top = {};
    Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top), Send(EM_LINEINDEX, Send(EM_GETFIRSTVISIBLELINE)));
    if (top.y >= shown.top) return;
    POINT scroll = {};
    Send(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    scroll.y -= shown.top - top.y;
    Send(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
}

void UseRichEdit::WrapAtWindowWidth() const {
    Send(EM_SETTARGETDEVICE, 0, 0);
}

void UseLoadRichEdit() {
    // Loaded once for the life of the process: its window class must outlive every dialog.
    static const HMODULE library = UseLoadSystemLibrary("riched20.dll");
    (void)library;
}
