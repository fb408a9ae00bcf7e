// TClipboard: text and pictures on the system clipboard.
//
//   Clipboard()->SetAsText("1500\t1600");
//   if (Clipboard()->HasFormat(CF_TEXT)) text = Clipboard()->AsText();
//   Clipboard()->Assign(bitmap);           // or bitmap->Assign(Clipboard())
//
// Every call opens and closes the clipboard by itself. To put several
// formats there at once, put them between Open and Close:
//
//   Clipboard()->Open();
//   Clipboard()->SetAsText(...);
//   Clipboard()->Assign(bitmap);
//   Clipboard()->Close();
#pragma once

#include "Object.h"

#include <windows.h>

#include <string>

class TBitmap;

GANTREL_EXCEPTION(EClipboardError, Exception);

class TClipboard : public TPersistent {
    GANTREL_CLASS(TClipboard)

    TClipboard();
    ~TClipboard() override;

    // Calls nest; the clipboard is open until the last Close. Another
    // program may hold it for a moment: Open tries for a while before it
    // raises EClipboardError.
    void Open();
    void Close();
    bool IsOpen() const { return FOpenCount > 0; }
    // Empties the clipboard.
    void Clear();
    // Whether a format (CF_TEXT, CF_BITMAP, CF_DIB, ...) is there, also one
    // the system makes from another (CF_BITMAP from CF_DIB).
    bool HasFormat(UINT format) const;

    // CF_TEXT; empty when there is no text.
    std::string AsText();
    void SetAsText(const std::string& text);

    // Puts a bitmap (TBitmap, or a TPicture holding one) there as CF_DIB.
    void Assign(TPersistent* source) override;
    // The clipboard's picture (CF_DIB, or CF_BITMAP) into bitmap; raises
    // EClipboardError when there is none.
    void GetBitmap(TBitmap* bitmap);

    // The window that owns what this program put on the clipboard.
    HWND Handle();

protected:
    // bitmap->Assign(Clipboard()) takes the clipboard's picture.
    void AssignTo(TPersistent* dest) override;

private:
    HWND FHandle = nullptr;
    int FOpenCount = 0;
    bool FEmptied = false;
    void WndProc(TMessage& message);
    // Replaces the clipboard's contents on the first call of an open
    // session, and adds to them on later ones.
    void SetBuffer(UINT format, const void* data, size_t size);
};

// Made on first use.
TClipboard* Clipboard();
// Frees it (DoneFramework).
void FreeClipboard();
