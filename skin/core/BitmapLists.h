// Named skin images: an owning list of bitmaps, the non-visual component
// that puts such a list on a form and streams it with the form resource as
// one binary property, and links that name one rectangle (a sprite) inside
// a bitmap so that it can be drawn by itself.
#pragma once

#include "Component.h"
#include "List.h"
#include "SkinBitmap.h"

#include <string>

class TCanvas;
class TStream;
class TKsBitmapLink;
class TKsMediaBitmapLink;
class TKsBitmapList;
class TKsMediaBitmapList;
class TEpBitmapList;
class TMpMediaBitmapList;

// The collection classes of each family.
template <class F> struct TBitmapListClasses;
template <> struct TBitmapListClasses<TKsFamily> {
    using Link = TKsBitmapLink;
    using List = TKsBitmapList;
    using Component = TEpBitmapList;
    // The component's binary property in form resources.
    static constexpr const char* StreamName = "KSBitmaps";
};
template <> struct TBitmapListClasses<TMpFamily> {
    using Link = TKsMediaBitmapLink;
    using List = TKsMediaBitmapList;
    using Component = TMpMediaBitmapList;
    static constexpr const char* StreamName = "KsBitmaps";
};

// A rectangle of a bitmap it does not own.
template <class F>
class TSkinBitmapLink : public TPersistent {
    GANTREL_CLASS(TSkinBitmapLink)

    using BitmapType = typename F::Bitmap;

    BitmapType* Bitmap() const { return FBitmap; }
    void SetBitmap(BitmapType* bitmap) { FBitmap = bitmap; }
    const RECT& Rect() const { return FRect; }
    void SetRect(const RECT& rect) { FRect = rect; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    int Left() const { return FRect.left; }
    int Top() const { return FRect.top; }
    int Right() const { return FRect.right; }
    int Bottom() const { return FRect.bottom; }
    void SetLeft(int value) { FRect.left = value; }
    void SetTop(int value) { FRect.top = value; }
    void SetRight(int value) { FRect.right = value; }
    void SetBottom(int value) { FRect.bottom = value; }
    // A bitmap and a rectangle of at least one pixel.
    bool Assigned() const;

    // From a link of the same family: bitmap, rectangle and name.
    void Assign(TPersistent* source) override;
    // The rectangle at (x, y), when there is something to draw: a plain copy
    // on a canvas; onto a bitmap honouring alpha when the source's UseAlpha is on.
    void Draw(TCanvas* canvas, int x, int y);
    void Draw(BitmapType* dest, int x, int y);

    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    BitmapType* FBitmap = nullptr;
    RECT FRect{0, 0, 0, 0};
    std::string FName;
    bool Drawable() const;
};

// Bitmaps in order; the list owns them and frees them in Clear.
template <class F>
class TSkinBitmapList : public TList {
    GANTREL_CLASS(TSkinBitmapList)

    using BitmapType = typename F::Bitmap;
    using Link = typename TBitmapListClasses<F>::Link;

    ~TSkinBitmapList() override;
    void Clear() override;

    // Null for an index outside the list.
    BitmapType* GetBitmap(int index) const;
    // New links owned by the caller; null when the bitmap is not in the list
    // or no bitmap has the name. Names compare ignoring case, and the last
    // bitmap of a name wins.
    Link* GetBitmapLink(BitmapType* bitmap, const RECT& rect) const;
    Link* GetBitmapLink(const std::string& name, const RECT& rect) const;
    Link* GetBitmapLink(const std::string& name, const std::string& rectText) const;

protected:
    // The first (or the last) bitmap of that name, ignoring case.
    BitmapType* Find(const std::string& name, bool last) const;
};

// The component: the list, streamed as the family's binary property.
template <class F>
class TSkinBitmapComponent : public TComponent {
    GANTREL_CLASS(TSkinBitmapComponent)

    using List = typename TBitmapListClasses<F>::List;

    explicit TSkinBitmapComponent(TComponent* owner);
    ~TSkinBitmapComponent() override;

    List* Bitmaps() const { return FBitmaps; }
    int Count() const;
    // Read-only; writes are ignored and it is never stored.
    std::string Version() const { return F::Version; }

    // The binary property, stored only when the list holds a bitmap.
    void DefineProperties(TFiler* filer) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

    // The binary property's bytes: the number of bitmaps, then each in the
    // bitmap stream format. Reading replaces the list.
    void ReadBitmaps(TStream& stream);
    void WriteBitmaps(TStream& stream);

private:
    List* FBitmaps;
};

// A link into bitmap with Name and Rect of bitmap, owned by the caller; the
// second form reads the rectangle with StringToRect.
template <class F>
typename TBitmapListClasses<F>::Link* GetBitmapLink(TSkinBitmap<F>* bitmap, const RECT& rect);
template <class F>
typename TBitmapListClasses<F>::Link* GetBitmapLink(TSkinBitmap<F>* bitmap, const std::string& rectText);

extern template class TSkinBitmapLink<TKsFamily>;
extern template class TSkinBitmapLink<TMpFamily>;
extern template class TSkinBitmapList<TKsFamily>;
extern template class TSkinBitmapList<TMpFamily>;
extern template class TSkinBitmapComponent<TKsFamily>;
extern template class TSkinBitmapComponent<TMpFamily>;

class TKsBitmapLink : public TSkinBitmapLink<TKsFamily> {
    GANTREL_CLASS(TKsBitmapLink)
};

class TKsMediaBitmapLink : public TSkinBitmapLink<TMpFamily> {
    GANTREL_CLASS(TKsMediaBitmapLink)
};

class TKsBitmapList : public TSkinBitmapList<TKsFamily> {
    GANTREL_CLASS(TKsBitmapList)
};

class TKsMediaBitmapList : public TSkinBitmapList<TMpFamily> {
    GANTREL_CLASS(TKsMediaBitmapList)

    // The first bitmap of that name, ignoring case; null when none has it.
    TKsMediaBitmap* GetBitmapByName(const std::string& name) const { return Find(name, false); }
};

class TEpBitmapList : public TSkinBitmapComponent<TKsFamily> {
    GANTREL_CLASS(TEpBitmapList)
    using TSkinBitmapComponent::TSkinBitmapComponent;
};

class TMpMediaBitmapList : public TSkinBitmapComponent<TMpFamily> {
    GANTREL_CLASS(TMpMediaBitmapList)
    using TSkinBitmapComponent::TSkinBitmapComponent;
};

// Makes TEpBitmapList and TMpMediaBitmapList known to form resources.
void RegisterBitmapListClasses();
