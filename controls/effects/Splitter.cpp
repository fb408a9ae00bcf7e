#include "Splitter.h"

#include "Form.h"
#include "Reader.h"

#include <algorithm>

TepSplitter::TepSplitter(TComponent* owner) : TInnerOuterColors(owner), FSplitterGlyph(new TBitmap)
{
    ControlStyle |= csOpaque;
    SetAlign(alLeft);
    SetWidth(3);
    Cursor = CursorHandle(crHSplit);
}

TepSplitter::~TepSplitter()
{
    // A drag cut short by freeing: the device context and the key handler go back.
    if (FControl) EndDrag();
    delete FSplitterGlyph;
}

void TepSplitter::SetUseGlyph(bool value)
{
    FUseGlyph = value;
    Invalidate();
}

void TepSplitter::SetSplitterGlyph(TBitmap* glyph)
{
    FSplitterGlyph->Assign(glyph);
    Invalidate();
}

void TepSplitter::SetMinSize(int size)
{
    FMinSize = std::max(1, size);
    Invalidate();
}

void TepSplitter::SetBeveled(bool value)
{
    FBeveled = value;
    Repaint();
}

void TepSplitter::Paint()
{
    TCanvas* c = Canvas();
    RECT r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    const int gw = FSplitterGlyph->Width(), gh = FSplitterGlyph->Height();
    if (FUseGlyph && !FSplitterGlyph->Empty() && gw > 0 && gh > 0) {
        for (int x = 0; x < Width(); x += gw)
            for (int y = 0; y < Height(); y += gh) c->Draw(x, y, FSplitterGlyph);
        return;
    }
    if (!FBeveled) return;
    if (Horizontal()) InflateRect(&r, 2, -1);
    else InflateRect(&r, -1, 2);
    OffsetRect(&r, 1, 1);
    c->Brush()->SetColor(InnerColor());
    c->FrameRect(r);
    OffsetRect(&r, -2, -2);
    c->Brush()->SetColor(OuterColor());
    c->FrameRect(r);
}

TControl* TepSplitter::FindControl() const
{
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    POINT p{Left(), Top()};
    switch (Align()) {
    case alTop: p.y = Top() - 1; break;
    case alBottom: p.y = Top() + Height(); break;
    case alLeft: p.x = Left() - 1; break;
    case alRight: p.x = Left() + Width(); break;
    default: return nullptr;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this) continue;
        RECT b = c->BoundsRect();
        if (PtInRect(&b, p)) return c;
    }
    return nullptr;
}

void TepSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || FControl) return;
    TControl* control = FindControl();
    if (!control) return;  // nothing beside the splitter: no drag
    TWinControl* parent = Parent();
    FDownX = x;
    FDownY = y;
    FControl = control;
    FControl->FreeNotification(this);
    if (Horizontal()) {
        FMaxSize = parent->ClientHeight() - FMinSize;
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            if (c->Visible() && (c->Align() == alTop || c->Align() == alBottom)) FMaxSize -= c->Height();
        }
        FMaxSize += FControl->Height();
    } else {
        FMaxSize = parent->ClientWidth() - FMinSize;
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            if (c->Visible() && (c->Align() == alLeft || c->Align() == alRight)) FMaxSize -= c->Width();
        }
        FMaxSize += FControl->Width();
    }
    UpdateSize(x, y);
    FLineWindow = parent->Handle();
    FLineDC = GetDCEx(FLineWindow, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    // Escape in the form's active control gives the drag up; without one there is no key to hook.
    TCustomForm* form = GetParentForm(this);
    FActiveControl = form ? form->ActiveControl() : nullptr;
    if (FActiveControl) {
        FOldKeyDown = FActiveControl->OnKeyDown;
        FActiveControl->OnKeyDown = MakeEvent<&TepSplitter::FocusKeyDown>(this);
        FActiveControl->FreeNotification(this);
    }
    DrawLine();
}

void TepSplitter::UpdateSize(int x, int y)
{
    FSplit = Horizontal() ? y - FDownY : x - FDownX;
    int size = 0;
    switch (Align()) {
    case alTop: size = FControl->Height() + FSplit; break;
    case alBottom: size = FControl->Height() - FSplit; break;
    case alLeft: size = FControl->Width() + FSplit; break;
    case alRight: size = FControl->Width() - FSplit; break;
    default: break;
    }
    FNewSize = size;
    // The largest size may lie below the smallest (a crowded parent): the smallest wins.
    if (FNewSize > FMaxSize) FNewSize = FMaxSize;
    if (FNewSize < FMinSize) FNewSize = FMinSize;
    if (FNewSize != size) {
        if (Align() == alBottom || Align() == alRight) FSplit += size - FNewSize;
        else FSplit -= size - FNewSize;
    }
}

void TepSplitter::DrawLine()
{
    if (!FLineDC) return;
    FLineVisible = !FLineVisible;
    int x = Left(), y = Top();
    if (Horizontal()) y += FSplit;
    else x += FSplit;
    HGDIOBJ old = SelectObject(FLineDC, GetStockObject(WHITE_BRUSH));
    PatBlt(FLineDC, x, y, Width(), Height(), PATINVERT);
    SelectObject(FLineDC, old);
}

void TepSplitter::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (!FControl) return;
    DrawLine();
    UpdateSize(x, y);
    DrawLine();
}

void TepSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FControl) return;
    DrawLine();
    switch (Align()) {
    case alTop: FControl->SetHeight(FNewSize); break;
    case alBottom: {
        TWinControl* parent = FControl->Parent();
        if (parent) parent->DisableAlign();
        try {
            FControl->SetTop(FControl->Top() + FControl->Height() - FNewSize);
        } catch (...) {
            if (parent) parent->EnableAlign();
            throw;
        }
        if (parent) parent->EnableAlign();
        FControl->SetHeight(FNewSize);
        break;
    }
    case alLeft: FControl->SetWidth(FNewSize); break;
    case alRight: FControl->SetLeft(FControl->Left() + FControl->Width() - FNewSize); FControl->SetWidth(FNewSize); break;
    default: break;
    }
    StopSizing();
}

void TepSplitter::StopSizing()
{
    if (FControl) {
        FControl->RemoveFreeNotification(this);
        EndDrag();
        FOldKeyDown = TKeyEvent();
    }
    if (OnMoved) OnMoved(this);
}

void TepSplitter::EndDrag()
{
    if (FLineVisible) DrawLine();
    FControl = nullptr;
    if (FLineDC) ReleaseDC(FLineWindow, FLineDC);
    FLineDC = nullptr;
    FLineWindow = nullptr;
    if (FActiveControl) {
        FActiveControl->OnKeyDown = FOldKeyDown;
        FActiveControl->RemoveFreeNotification(this);
        FActiveControl = nullptr;
    }
}

void TepSplitter::FocusKeyDown(TObject* sender, WORD& key, TShiftState shift)
{
    if (key == VK_ESCAPE) StopSizing();
    else if (FOldKeyDown) FOldKeyDown(sender, key, shift);
}

void TepSplitter::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FActiveControl) {
        FActiveControl = nullptr;
        FOldKeyDown = TKeyEvent();
    }
    if (component == FControl) {
        // The sized control is going: the drag ends without applying anything.
        EndDrag();
    }
}

bool TepSplitter::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "UseGlyph") SetUseGlyph(reader.ReadBool());
    else if (name == "MinSize") SetMinSize(reader.ReadInteger());
    else if (name == "Beveled") SetBeveled(reader.ReadBool());
    else if (name == "OnMoved") OnMoved = reader.ReadEvent<TNotifyEvent>();
    else return TInnerOuterColors::ReadProperty(name, reader);
    return true;
}

TPersistent* TepSplitter::PropertyObject(const std::string& name)
{
    if (name == "SplitterGlyph") return FSplitterGlyph;
    return TGraphicControl::PropertyObject(name);
}
