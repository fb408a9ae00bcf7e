#include "BitmapLists.h"

#include "Reader.h"
#include "SkinUtils.h"
#include "Streams.h"

#include <cstdint>

// --- Links ------------------------------------------------------------------

template <class F>
bool TSkinBitmapLink<F>::Assigned() const
{
    return FBitmap && RectWidth(FRect) * int64_t(RectHeight(FRect)) > 0;
}

template <class F>
bool TSkinBitmapLink<F>::Drawable() const
{
    return FBitmap && !FBitmap->Empty() && RectWidth(FRect) >= 1 && RectHeight(FRect) >= 1;
}

template <class F>
void TSkinBitmapLink<F>::Assign(TPersistent* source)
{
    if (auto* link = dynamic_cast<TSkinBitmapLink*>(source)) {
        FBitmap = link->FBitmap;
        FRect = link->FRect;
        FName = link->FName;
        return;
    }
    TPersistent::Assign(source);
}

template <class F>
void TSkinBitmapLink<F>::Draw(TCanvas* canvas, int x, int y)
{
    if (Drawable()) FBitmap->Draw(canvas, x, y, FRect);
}

template <class F>
void TSkinBitmapLink<F>::Draw(BitmapType* dest, int x, int y)
{
    if (Drawable()) FBitmap->Draw(dest, x, y, FRect);
}

template <class F>
bool TSkinBitmapLink<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Name") FName = reader.ReadString();
    else if (name == "Left") FRect.left = reader.ReadInteger();
    else if (name == "Top") FRect.top = reader.ReadInteger();
    else if (name == "Right") FRect.right = reader.ReadInteger();
    else if (name == "Bottom") FRect.bottom = reader.ReadInteger();
    else return TPersistent::ReadProperty(name, reader);
    return true;
}

template <class F>
typename TBitmapListClasses<F>::Link* GetBitmapLink(TSkinBitmap<F>* bitmap, const RECT& rect)
{
    auto* link = new typename TBitmapListClasses<F>::Link;
    link->SetBitmap(static_cast<typename F::Bitmap*>(bitmap));
    link->SetName(bitmap->Name());
    link->SetRect(rect);
    return link;
}

template <class F>
typename TBitmapListClasses<F>::Link* GetBitmapLink(TSkinBitmap<F>* bitmap, const std::string& rectText)
{
    return GetBitmapLink(bitmap, StringToRect(rectText));
}

// --- Lists ------------------------------------------------------------------

template <class F>
TSkinBitmapList<F>::~TSkinBitmapList()
{
    Clear();
}

template <class F>
void TSkinBitmapList<F>::Clear()
{
    for (int i = 0; i < Count(); ++i) delete static_cast<BitmapType*>(Items(i));
    TList::Clear();
}

template <class F>
typename TSkinBitmapList<F>::BitmapType* TSkinBitmapList<F>::GetBitmap(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return static_cast<BitmapType*>(Items(index));
}

template <class F>
typename TSkinBitmapList<F>::BitmapType* TSkinBitmapList<F>::Find(const std::string& name, bool last) const
{
    BitmapType* found = nullptr;
    for (int i = 0; i < Count(); ++i) {
        auto* bitmap = static_cast<BitmapType*>(Items(i));
        if (!SameText(bitmap->Name(), name)) continue;
        found = bitmap;
        if (!last) break;
    }
    return found;
}

template <class F>
typename TSkinBitmapList<F>::Link* TSkinBitmapList<F>::GetBitmapLink(BitmapType* bitmap, const RECT& rect) const
{
    if (!bitmap || IndexOf(bitmap) < 0) return nullptr;
    return ::GetBitmapLink<F>(bitmap, rect);
}

template <class F>
typename TSkinBitmapList<F>::Link* TSkinBitmapList<F>::GetBitmapLink(const std::string& name, const RECT& rect) const
{
    BitmapType* bitmap = Find(name, true);
    return bitmap ? ::GetBitmapLink<F>(bitmap, rect) : nullptr;
}

template <class F>
typename TSkinBitmapList<F>::Link* TSkinBitmapList<F>::GetBitmapLink(const std::string& name,
                                                                     const std::string& rectText) const
{
    return GetBitmapLink(name, StringToRect(rectText));
}

// --- The component ------------------------------------------------------------

template <class F>
TSkinBitmapComponent<F>::TSkinBitmapComponent(TComponent* owner) : TComponent(owner), FBitmaps(new List)
{
}

template <class F>
TSkinBitmapComponent<F>::~TSkinBitmapComponent()
{
    BeginDestroy();
    delete FBitmaps;
}

template <class F>
int TSkinBitmapComponent<F>::Count() const
{
    return FBitmaps->Count();
}

template <class F>
void TSkinBitmapComponent<F>::DefineProperties(TFiler* filer)
{
    TComponent::DefineProperties(filer);
    filer->DefineBinaryProperty(
        TBitmapListClasses<F>::StreamName, [this](TStream& stream) { ReadBitmaps(stream); },
        [this](TStream& stream) { WriteBitmaps(stream); }, Count() > 0);
}

template <class F>
bool TSkinBitmapComponent<F>::ReadProperty(const std::string& name, TReader& reader)
{
    if (name == "Version") {
        reader.ReadString();
        return true;
    }
    return TComponent::ReadProperty(name, reader);
}

template <class F>
void TSkinBitmapComponent<F>::ReadBitmaps(TStream& stream)
{
    FBitmaps->Clear();
    int32_t count = 0;
    if (stream.Read(&count, sizeof count) != sizeof count) count = 0;
    // Every record takes at least a byte of what is left, so a count larger
    // than the stream can hold ends with the stream instead of making
    // bitmaps out of nothing.
    for (int32_t i = 0; i < count && stream.Position() < stream.Size(); ++i) {
        auto* bitmap = new typename F::Bitmap;
        try {
            bitmap->LoadFromStream(&stream);
            FBitmaps->Add(bitmap);
        } catch (...) {
            delete bitmap;
            throw;
        }
    }
}

template <class F>
void TSkinBitmapComponent<F>::WriteBitmaps(TStream& stream)
{
    int32_t count = Count();
    stream.WriteBuffer(&count, sizeof count);
    for (int i = 0; i < count; ++i) FBitmaps->GetBitmap(i)->SaveToStream(&stream);
}

template class TSkinBitmapLink<TKsFamily>;
template class TSkinBitmapLink<TMpFamily>;
template class TSkinBitmapList<TKsFamily>;
template class TSkinBitmapList<TMpFamily>;
template class TSkinBitmapComponent<TKsFamily>;
template class TSkinBitmapComponent<TMpFamily>;
template TKsBitmapLink* GetBitmapLink<TKsFamily>(TSkinBitmap<TKsFamily>*, const RECT&);
template TKsMediaBitmapLink* GetBitmapLink<TMpFamily>(TSkinBitmap<TMpFamily>*, const RECT&);
template TKsBitmapLink* GetBitmapLink<TKsFamily>(TSkinBitmap<TKsFamily>*, const std::string&);
template TKsMediaBitmapLink* GetBitmapLink<TMpFamily>(TSkinBitmap<TMpFamily>*, const std::string&);

void RegisterBitmapListClasses()
{
    RegisterClasses<TEpBitmapList, TMpMediaBitmapList>();
}
