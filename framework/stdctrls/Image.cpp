#include "Image.h"

#include "Reader.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(new TPicture)
{
    FPicture->OnChange = MakeEvent<&TImage::PictureChanged>(this);
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
    BeginDestroy();
    delete FPicture;
}

void TImage::SetStretch(bool value)
{
    if (value == FStretch) return;
    FStretch = value;
    Invalidate();
}

void TImage::SetCenter(bool value)
{
    if (value == FCenter) return;
    FCenter = value;
    Invalidate();
}

void TImage::SetProportional(bool value)
{
    if (value == FProportional) return;
    FProportional = value;
    Invalidate();
}

void TImage::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    if (TGraphic* graphic = FPicture->Graphic()) graphic->Transparent = value;
    Invalidate();
}

void TImage::SetAutoSize(bool value)
{
    if (value == FAutoSize) return;
    FAutoSize = value;
    FitToPicture();
}

void TImage::FitToPicture()
{
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
}

void TImage::PictureChanged(TObject*)
{
    if (Destroying()) return;
    // A new graphic comes with its own flag; the image's setting wins.
    if (TGraphic* graphic = FPicture->Graphic()) graphic->Transparent = FTransparent;
    FitToPicture();
    Invalidate();
}

RECT TImage::DestRect() const
{
    int w = FPicture->Width(), h = FPicture->Height();
    const int cw = Width(), ch = Height();
    if (w > 0 && h > 0 && (FStretch || (FProportional && (w > cw || h > ch)))) {
        if (FProportional) {
            // Fit the side that runs out first; the other keeps the ratio.
            if (static_cast<long long>(cw) * h > static_cast<long long>(ch) * w) {
                w = int(static_cast<long long>(ch) * w / h);
                h = ch;
            } else {
                h = int(static_cast<long long>(cw) * h / w);
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return RECT{x, y, x + w, y + h};
}

void TImage::Paint()
{
    TGraphic* graphic = FPicture->Graphic();
    if (!graphic || graphic->Empty()) return;
    graphic->Transparent = FTransparent;
    Canvas()->StretchDraw(DestRect(), graphic);
}

TPersistent* TImage::PropertyObject(const std::string& name)
{
    if (name == "Picture") return FPicture;
    return TGraphicControl::PropertyObject(name);
}

bool TImage::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Stretch") SetStretch(reader.ReadBool());
    else if (name == "Center") SetCenter(reader.ReadBool());
    else if (name == "Proportional") SetProportional(reader.ReadBool());
    else if (name == "Transparent") SetTransparent(reader.ReadBool());
    else if (name == "AutoSize") SetAutoSize(reader.ReadBool());
    else return TGraphicControl::ReadProperty(name, reader);
    return true;
}
