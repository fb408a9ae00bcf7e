#include "Edit.h"

#include "Reader.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Lines as TStrings reads a text: a break after the last line adds no empty one.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The memo's lines, read from and written to its text, so that they are the
// same whether the window exists or not. Between BeginUpdate and EndUpdate
// the lines are kept here and written once at the end.
class TMemoStrings : public TStrings {
    GANTREL_CLASS(TMemoStrings)

    explicit TMemoStrings(TMemo* memo) : FMemo(memo) {}

    int Count() const override { return int(Lines().size()); }

    std::string Get(int index) const override
    {
        std::vector<std::string> lines = Lines();
        CheckIndex(index, int(lines.size()));
        return lines[size_t(index)];
    }

    void Put(int index, const std::string& text) override
    {
        std::vector<std::string> lines = Lines();
        CheckIndex(index, int(lines.size()));
        lines[size_t(index)] = text;
        Store(std::move(lines));
    }

    void Insert(int index, const std::string& text) override
    {
        std::vector<std::string> lines = Lines();
        CheckIndex(index, int(lines.size()) + 1);
        lines.insert(lines.begin() + index, text);
        Store(std::move(lines));
    }

    void Delete(int index) override
    {
        std::vector<std::string> lines = Lines();
        CheckIndex(index, int(lines.size()));
        lines.erase(lines.begin() + index);
        Store(std::move(lines));
    }

    void Clear() override { Store({}); }

    std::string Text() const override { return JoinLines(Lines()); }

protected:
    void SetUpdateState(bool updating) override
    {
        if (updating) {
            FPending = SplitLines(FMemo->Text());
            FCaching = true;
        } else {
            FCaching = false;
            std::vector<std::string> lines;
            lines.swap(FPending);
            FMemo->SetText(JoinLines(lines));
        }
    }

private:
    TMemo* FMemo;
    bool FCaching = false;
    std::vector<std::string> FPending;

    std::vector<std::string> Lines() const { return FCaching ? FPending : SplitLines(FMemo->Text()); }

    void Store(std::vector<std::string> lines)
    {
        if (FCaching)
            FPending = std::move(lines);
        else
            FMemo->SetText(JoinLines(lines));
    }
};

}  // namespace

// --- TCustomEdit --------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
    SetTabStop(true);
}

void TCustomEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SubclassOf = "EDIT";
    params.Style |= ES_AUTOHSCROLL;
    if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FReadOnly) params.Style |= ES_READONLY;
    if (FPasswordChar) params.Style |= ES_PASSWORD;
    if (FCharCase == ecUpperCase) params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase) params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    HWND window = Handle();
    SendMessageA(window, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
    if (FPasswordChar) SendMessageA(window, EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(FPasswordChar)), 0);
    SendMessageA(window, EM_SETMODIFY, FModified, 0);
}

void TCustomEdit::DestroyWnd()
{
    // What the user typed lives only in the window: keep it for the next one.
    if (HandleAllocated()) {
        FText = GetText();
        FModified = SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
    }
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetTextBuf(const std::string& text)
{
    std::string converted = text;
    if (!converted.empty() && FCharCase == ecUpperCase) CharUpperBuffA(&converted[0], DWORD(converted.size()));
    else if (!converted.empty() && FCharCase == ecLowerCase) CharLowerBuffA(&converted[0], DWORD(converted.size()));
    TWinControl::SetTextBuf(converted);
}

void TCustomEdit::SetMaxLength(int length)
{
    length = std::max(0, length);
    if (length == FMaxLength) return;
    FMaxLength = length;
    if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, WPARAM(length), 0);
}

void TCustomEdit::SetReadOnly(bool value)
{
    if (value == FReadOnly) return;
    FReadOnly = value;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetBorderStyle(TFormBorderStyle style)
{
    style = style == bsNone ? bsNone : bsSingle;
    if (style == FBorderStyle) return;
    FBorderStyle = style;
    RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char c)
{
    if (c == FPasswordChar) return;
    FPasswordChar = c;
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(c)), 0);
        Invalidate();
    }
}

void TCustomEdit::SetCharCase(TEditCharCase charCase)
{
    if (charCase == FCharCase) return;
    std::string text = Text();
    FCharCase = charCase;
    RecreateWnd();
    // The text already there follows the new case too.
    if (charCase != ecNormal) {
        SetTextBuf(text);
        Perform(CM_TEXTCHANGED);
    }
}

int TCustomEdit::SelStart()
{
    if (!HandleAllocated()) return int(Text().size());
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return int(start);
}

void TCustomEdit::SetSelStart(int start)
{
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, WPARAM(start), LPARAM(start));
}

int TCustomEdit::SelLength()
{
    if (!HandleAllocated()) return 0;
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return int(end) - int(start);
}

void TCustomEdit::SetSelLength(int length)
{
    if (!HandleAllocated()) return;
    int start = SelStart();
    SendMessageA(Handle(), EM_SETSEL, WPARAM(start), LPARAM(start + length));
}

std::string TCustomEdit::SelText()
{
    if (!HandleAllocated()) return std::string();
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::string text = Text();
    if (start >= text.size() || end <= start) return std::string();
    return text.substr(start, end - start);
}

void TCustomEdit::SetSelText(const std::string& text)
{
    if (!HandleAllocated()) {
        SetText(Text() + text);
        return;
    }
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SelectAll()
{
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

bool TCustomEdit::Modified()
{
    if (HandleAllocated()) return SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
    return FModified;
}

void TCustomEdit::SetModified(bool value)
{
    FModified = value;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, value, 0);
}

void TCustomEdit::DoEnter()
{
    // Not when a click brought the focus: the click places the caret.
    if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Change()
{
    if (OnChange) OnChange(this);
}

void TCustomEdit::CheckTextChanged()
{
    std::string text = GetText();
    if (text == FLastText) return;
    FLastText = text;
    if (!Loading() && !Destroying()) Change();
}

void TCustomEdit::Colorize(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Brush()->Color()));
    m.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
}

void TCustomEdit::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == EN_CHANGE) CheckTextChanged();
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
        Colorize(m);
        return;
    case WM_SETTEXT:
        // A multi-line EDIT sends no EN_CHANGE for a text set from outside.
        DefaultHandler(m);
        CheckTextChanged();
        return;
    case CM_TEXTCHANGED:
        CheckTextChanged();
        return;
    }
    TWinControl::Dispatch(m);
}

bool TCustomEdit::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames borderStyles = {"bsNone", "bsSingle"};
    if (name == "MaxLength") SetMaxLength(reader.ReadInteger());
    else if (name == "ReadOnly") SetReadOnly(reader.ReadBool());
    else if (name == "BorderStyle") SetBorderStyle(TFormBorderStyle(reader.ReadEnum(borderStyles)));
    else if (name == "OnChange") OnChange = reader.ReadEvent<TNotifyEvent>();
    else return TWinControl::ReadProperty(name, reader);
    return true;
}

// --- TEdit ------------------------------------------------------------------

bool TEdit::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames charCases = {"ecNormal", "ecUpperCase", "ecLowerCase"};
    if (name == "PasswordChar") {
        std::string c = reader.ReadString();
        if (c.size() > 1) reader.Fail("PasswordChar: one character expected");
        SetPasswordChar(c.empty() ? '\0' : c[0]);
    } else if (name == "AutoSelect") {
        SetAutoSelect(reader.ReadBool());
    } else if (name == "CharCase") {
        SetCharCase(TEditCharCase(reader.ReadEnum(charCases)));
    } else {
        return TCustomEdit::ReadProperty(name, reader);
    }
    return true;
}

// --- TMemo ------------------------------------------------------------------

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner), FLines(new TMemoStrings(this))
{
    SetBounds(0, 0, 185, 89);
    SetAutoSelect(false);
}

TMemo::~TMemo()
{
    BeginDestroy();
    delete FLines;
    FLines = nullptr;
}

void TMemo::CreateParams(TCreateParams& params)
{
    TCustomEdit::CreateParams(params);
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    params.Style &= ~DWORD(ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE);
    if (FWordWrap) params.Style &= ~DWORD(ES_AUTOHSCROLL);
    if (FWantReturns) params.Style |= ES_WANTRETURN;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) params.Style |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) params.Style |= WS_VSCROLL;
    if (FAlignment == taRightJustify) params.Style |= ES_RIGHT;
    else if (FAlignment == taCenter) params.Style |= ES_CENTER;
}

void TMemo::SetScrollBars(TScrollStyle scrollBars)
{
    if (scrollBars == FScrollBars) return;
    FScrollBars = scrollBars;
    RecreateWnd();
}

void TMemo::SetWordWrap(bool value)
{
    if (value == FWordWrap) return;
    FWordWrap = value;
    RecreateWnd();
}

void TMemo::SetWantReturns(bool value)
{
    if (value == FWantReturns) return;
    FWantReturns = value;
    if (HandleAllocated()) {
        LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
        SetWindowLongPtrA(Handle(), GWL_STYLE, value ? style | ES_WANTRETURN : style & ~LONG_PTR(ES_WANTRETURN));
    }
}

void TMemo::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment) return;
    FAlignment = alignment;
    RecreateWnd();
}

void TMemo::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETDLGCODE: {
        // Asked without the message: an EDIT told about it goes into a dialog
        // mode of its own and starts dropping Tab and Enter.
        TMessage query = m;
        query.LParam = 0;
        DefaultHandler(query);
        UINT code = UINT(query.Result);
        if (m.LParam) {
            WPARAM key = m.WParam;
            // Keys the memo leaves to the form: Escape always, Tab and Enter when not wanted.
            if ((key == VK_TAB && !FWantTabs) || (key == VK_RETURN && !FWantReturns) || key == VK_ESCAPE)
                code &= ~UINT(DLGC_WANTALLKEYS);
        }
        if (FWantTabs)
            code |= DLGC_WANTTAB;
        else
            code &= ~UINT(DLGC_WANTTAB);
        m.Result = LRESULT(code);
        return;
    }
    case WM_CHAR:
        // Ctrl+Enter arrives as a line feed and still starts a new line.
        if ((m.WParam == '\t' && !FWantTabs) || (m.WParam == '\r' && !FWantReturns)) return;
        break;
    }
    TCustomEdit::Dispatch(m);
}

TPersistent* TMemo::PropertyObject(const std::string& name)
{
    if (name == "Lines") return FLines;
    return TCustomEdit::PropertyObject(name);
}

bool TMemo::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames scrollStyles = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
    if (name == "ScrollBars") SetScrollBars(TScrollStyle(reader.ReadEnum(scrollStyles)));
    else if (name == "WordWrap") SetWordWrap(reader.ReadBool());
    else if (name == "WantReturns") SetWantReturns(reader.ReadBool());
    else if (name == "WantTabs") SetWantTabs(reader.ReadBool());
    else if (name == "Alignment") SetAlignment(TAlignment(reader.ReadEnum(AlignmentNames())));
    else return TCustomEdit::ReadProperty(name, reader);
    return true;
}
