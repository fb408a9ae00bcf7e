#include "Morphing.h"

#include "EffectBmp.h"
#include "Reader.h"

#include <algorithm>

TepMorphing::TepMorphing(TComponent* owner)
    : TCustomControl(owner), FSource(new TBitmap), FDest(new TBitmap), FTimer(new TTimer(this))
{
    ControlStyle |= csOpaque;
    SetBounds(0, 0, 100, 100);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(50);
    FTimer->OnTimer = MakeEvent<&TepMorphing::TimerTick>(this);
}

TepMorphing::~TepMorphing()
{
    delete FSource;
    delete FDest;
}

void TepMorphing::SetSource(TBitmap* bitmap)
{
    FSource->Assign(bitmap);
    Invalidate();
}

void TepMorphing::SetDest(TBitmap* bitmap)
{
    FDest->Assign(bitmap);
    Invalidate();
}

void TepMorphing::SetStep(int step) { FStep = std::clamp(step, 0, 255); }

void TepMorphing::Morphing()
{
    FProgress = 0;
    // A Step of 0 would never advance: it fades in one tick.
    FIncrement = 1.0 / std::max(1, FStep);
    FTimer->SetEnabled(true);
}

void TepMorphing::TimerTick(TObject*)
{
    FProgress += FIncrement;
    // Summed steps fall a rounding error short of 1 (20 x 0.05): that is the end too.
    if (FProgress > 1 - 1e-9) FProgress = 1;
    if (FProgress >= 1) FTimer->SetEnabled(false);
    Invalidate();
}

void TepMorphing::Paint()
{
    TCanvas* c = Canvas();
    const bool forward = Direct == mdForward;
    TBitmap* first = forward ? FSource : FDest;
    TBitmap* second = forward ? FDest : FSource;
    TBitmap* shown = FProgress >= 1 ? second : first;
    if (shown->Empty()) {
        c->Brush()->SetColor(Color());
        c->FillRect(RECT{0, 0, Width(), Height()});
        return;
    }
    if (FProgress <= 0 || FProgress >= 1 || second->Empty() || first->Width() != second->Width() ||
        first->Height() != second->Height()) {
        c->Draw(0, 0, shown);
        return;
    }
    TEffectBmp from(first->Handle());
    TEffectBmp to(second->Handle());
    from.Morph(&to, FProgress);
    from.Draw(c->Handle(), 0, 0);
}

bool TepMorphing::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames directions = {"mdForward", "mdBackward"};
    if (name == "Direct") Direct = TDirect(reader.ReadEnum(directions));
    else if (name == "Step") SetStep(reader.ReadInteger());
    else return TCustomControl::ReadProperty(name, reader);
    return true;
}

TPersistent* TepMorphing::PropertyObject(const std::string& name)
{
    if (name == "Source") return FSource;
    if (name == "Dest") return FDest;
    return TCustomControl::PropertyObject(name);
}
