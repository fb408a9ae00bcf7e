#include "Font.h"

#include "Reader.h"

#include <cstring>

namespace {
int ScreenPixelsPerInch()
{
    HDC dc = GetDC(nullptr);
    int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return ppi > 0 ? ppi : 96;
}
}  // namespace

TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch()) {}

TFont::~TFont()
{
    ReleaseHandle();
}

void TFont::ReleaseHandle()
{
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

void TFont::SetName(const std::string& name)
{
    if (name.empty() || name == FName) return;
    FName = name;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int size)
{
    SetHeight(-MulDiv(size, FPixelsPerInch, 72));
}

void TFont::SetHeight(int height)
{
    if (height == FHeight) return;
    FHeight = height;
    Changed();
}

void TFont::SetPixelsPerInch(int pixelsPerInch)
{
    if (pixelsPerInch <= 0 || pixelsPerInch == FPixelsPerInch) return;
    const int height = MulDiv(FHeight, pixelsPerInch, FPixelsPerInch);
    FPixelsPerInch = pixelsPerInch;
    FHeight = height;
    Changed();
}

void TFont::SetColor(TColor color)
{
    if (color == FColor) return;
    FColor = color;
    // The colour is not part of the GDI font: no new handle needed.
    if (OnChange) OnChange(this);
}

void TFont::SetStyle(TFontStyles style)
{
    if (style == FStyle) return;
    FStyle = style;
    Changed();
}

void TFont::SetCharset(int charset)
{
    if (charset == FCharset) return;
    FCharset = charset;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch)
{
    if (pitch == FPitch) return;
    FPitch = pitch;
    Changed();
}

HFONT TFont::Handle()
{
    if (!FHandle) {
        LOGFONTA lf = {};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & (1u << fsBold)) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & (1u << fsItalic)) ? 1 : 0;
        lf.lfUnderline = (FStyle & (1u << fsUnderline)) ? 1 : 0;
        lf.lfStrikeOut = (FStyle & (1u << fsStrikeOut)) ? 1 : 0;
        lf.lfCharSet = BYTE(FCharset);
        lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectA(&lf);
        if (!FHandle) FHandle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return FHandle;
}

bool TFont::SameAs(const TFont& o) const
{
    return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FStyle == o.FStyle &&
           FCharset == o.FCharset && FPitch == o.FPitch;
}

void TFont::Assign(TPersistent* source)
{
    if (auto* font = dynamic_cast<TFont*>(source)) {
        // The same height means the same size only on devices of the same resolution.
        if (font == this || (SameAs(*font) && font->FPixelsPerInch == FPixelsPerInch)) return;
        FName = font->FName;
        FHeight = MulDiv(font->FHeight, FPixelsPerInch, font->FPixelsPerInch);
        FColor = font->FColor;
        FStyle = font->FStyle;
        FCharset = font->FCharset;
        FPitch = font->FPitch;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

bool TFont::ReadProperty(const std::string& name, TReader& reader)
{
    static const TEnumNames styles = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    static const TEnumNames pitches = {"fpDefault", "fpVariable", "fpFixed"};
    static const TEnumNames charsets = {"ANSI_CHARSET", "DEFAULT_CHARSET", "SYMBOL_CHARSET"};
    if (name == "Name") SetName(reader.ReadString());
    else if (name == "Size") SetSize(reader.ReadInteger());
    else if (name == "Height") SetHeight(reader.ReadInteger());
    else if (name == "Color") SetColor(ReadColor(reader));
    else if (name == "Style") SetStyle(reader.ReadSet(styles));
    else if (name == "Pitch") SetPitch(TFontPitch(reader.ReadEnum(pitches)));
    else if (name == "Charset") {
        if (reader.Value().Kind == TValueKind::Integer)
            SetCharset(reader.ReadInteger());
        else if (SameText(reader.Value().Text, "SHIFTJIS_CHARSET"))
            SetCharset(SHIFTJIS_CHARSET);
        else
            SetCharset(reader.ReadEnum(charsets));
    } else
        return TGraphicsObject::ReadProperty(name, reader);
    return true;
}

void FontToLogFont(const TFont* font, LOGFONTA& lf)
{
    lf = LOGFONTA{};
    lf.lfHeight = font->Height();
    TFontStyles style = font->Style();
    lf.lfWeight = (style & (1u << fsBold)) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & (1u << fsItalic)) ? 1 : 0;
    lf.lfUnderline = (style & (1u << fsUnderline)) ? 1 : 0;
    lf.lfStrikeOut = (style & (1u << fsStrikeOut)) ? 1 : 0;
    lf.lfCharSet = BYTE(font->Charset());
    lf.lfPitchAndFamily = font->Pitch() == fpFixed ? FIXED_PITCH : font->Pitch() == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, font->Name().c_str(), LF_FACESIZE);
}

void LogFontToFont(const LOGFONTA& lf, TFont* font)
{
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    font->SetName(face);
    font->SetHeight(lf.lfHeight);
    TFontStyles style = 0;
    if (lf.lfWeight >= FW_SEMIBOLD) style |= 1u << fsBold;
    if (lf.lfItalic) style |= 1u << fsItalic;
    if (lf.lfUnderline) style |= 1u << fsUnderline;
    if (lf.lfStrikeOut) style |= 1u << fsStrikeOut;
    font->SetStyle(style);
    font->SetCharset(lf.lfCharSet);
    int pitch = lf.lfPitchAndFamily & 3;
    font->SetPitch(pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault);
}
