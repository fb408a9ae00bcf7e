// TepMorphing: a picture that cross-fades from one bitmap to the other on a
// timer, Step ticks of 50 ms for the whole fade.
#pragma once

#include "Graphic.h"
#include "Timer.h"
#include "WinControl.h"

enum TDirect { mdForward, mdBackward };

class TepMorphing : public TCustomControl {
    GANTREL_CLASS(TepMorphing)

    explicit TepMorphing(TComponent* owner);
    ~TepMorphing() override;

    TDirect Direct = mdForward;
    TBitmap* Source() const { return FSource; }
    void SetSource(TBitmap* bitmap);
    TBitmap* Dest() const { return FDest; }
    void SetDest(TBitmap* bitmap);
    int Step() const { return FStep; }
    void SetStep(int step);  // 0..255; 0 fades in one tick

    // Starts the fade from the beginning.
    void Morphing();
    double Progress() const { return FProgress; }
    TTimer* MorphTimer() const { return FTimer; }

    bool ReadProperty(const std::string& name, TReader& reader) override;
    TPersistent* PropertyObject(const std::string& name) override;

protected:
    void Paint() override;

private:
    TBitmap* FSource;
    TBitmap* FDest;
    int FStep = 20;
    TTimer* FTimer;
    double FProgress = 0;
    double FIncrement = 0;
    void TimerTick(TObject* sender);
};
