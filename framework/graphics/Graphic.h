// Pictures: TGraphic and its kinds (TBitmap, a device-independent bitmap
// with a canvas; TIcon), and TPicture, which holds one of them.
#pragma once

#include "Canvas.h"

#include <cstdint>
#include <string>

class TStream;

class TGraphic : public TPersistent {
    GANTREL_CLASS(TGraphic)

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Draw(TCanvas* canvas, const RECT& rect) = 0;
    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) = 0;
    void LoadFromFile(const std::string& fileName);

    bool Transparent = false;
    TNotifyEvent OnChange;

protected:
    void Changed()
    {
        if (OnChange) OnChange(this);
    }
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

class TBitmapCanvas;

class TBitmap : public TGraphic {
    GANTREL_CLASS(TBitmap)

    TBitmap();
    ~TBitmap() override;

    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, FHeight); }
    void SetHeight(int height) { SetSize(FWidth, height); }
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat format);

    TCanvas* Canvas();
    HBITMAP Handle() const { return FHandle; }
    // Takes over a bitmap handle (the old one is freed).
    void SetHandle(HBITMAP bitmap);
    // Row y of the pixels (24 or 32 bits a pixel; rows top-down).
    uint8_t* ScanLine(int y);
    int BytesPerLine() const { return FStride; }

    // Transparent drawing leaves this colour out (clDefault: the bottom-left pixel).
    TColor TransparentColor = clDefault;

    void Draw(TCanvas* canvas, const RECT& rect) override;
    void LoadFromStream(TStream* stream) override;  // a BMP file
    void SaveToStream(TStream* stream) override;
    // A bitmap resource of the executable; false when there is none.
    bool LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void Assign(TPersistent* source) override;
    // "Data" in form resources (a control's "Glyph.Data"): a bitmap file,
    // optionally after its 32-bit length; written as the plain file.
    void DefineProperties(TFiler* filer) override;

private:
    friend class TBitmapCanvas;
    HBITMAP FHandle = nullptr;
    int FWidth = 0, FHeight = 0, FStride = 0;
    TPixelFormat FPixelFormat = pf24bit;
    uint8_t* FBits = nullptr;
    TBitmapCanvas* FCanvas = nullptr;
    void Release();
    void MakeDib(int width, int height, TPixelFormat format);
    void AdoptDib(HBITMAP bitmap);
};

class TIcon : public TGraphic {
    GANTREL_CLASS(TIcon)

    ~TIcon() override;
    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override;
    int Height() const override;
    HICON Handle() const { return FHandle; }
    void SetHandle(HICON icon);
    void Draw(TCanvas* canvas, const RECT& rect) override;
    void LoadFromStream(TStream* stream) override;  // an ICO file
    void SaveToStream(TStream* stream) override;
    bool LoadFromResourceName(HINSTANCE instance, const std::string& name);

private:
    HICON FHandle = nullptr;
};

class TPicture : public TPersistent {
    GANTREL_CLASS(TPicture)

    ~TPicture() override;

    TGraphic* Graphic() const { return FGraphic; }
    void SetGraphic(TGraphic* graphic);  // copies it
    // The picture as a bitmap (an empty one is made when it holds none).
    TBitmap* Bitmap();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    void LoadFromFile(const std::string& fileName);
    void Assign(TPersistent* source) override;
    // "Data" in form resources: a length byte, the graphic's class name, its data.
    void DefineProperties(TFiler* filer) override;

    TNotifyEvent OnChange;

private:
    TGraphic* FGraphic = nullptr;
    void Take(TGraphic* graphic);
    void GraphicChanged(TObject*);
};
