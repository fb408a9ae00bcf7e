// TFont: name, size, colour, style and character set of a typeface.
#pragma once

#include "GraphicsObject.h"

#include <string>

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = unsigned;  // bit per TFontStyle
enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
    GANTREL_CLASS(TFont)

    TFont();
    ~TFont() override;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name);
    // Points; Height is pixels (negative: character height without leading).
    int Size() const;
    void SetSize(int size);
    int Height() const { return FHeight; }
    void SetHeight(int height);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);
    int Charset() const { return FCharset; }
    void SetCharset(int charset);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return FPixelsPerInch; }
    // The device the font draws on (the screen's by default, the printer's
    // on a printer canvas); the size in points stays.
    void SetPixelsPerInch(int pixelsPerInch);

    HFONT Handle();
    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

    // Whether two fonts would draw the same text the same way.
    bool SameAs(const TFont& other) const;

protected:
    void ReleaseHandle() override;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    int FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    int FPixelsPerInch;
    HFONT FHandle = nullptr;
};

// A font and the platform's description of one, both ways (the font
// dialog, the system's caption and menu fonts).
void FontToLogFont(const TFont* font, LOGFONTA& lf);
void LogFontToFont(const LOGFONTA& lf, TFont* font);
