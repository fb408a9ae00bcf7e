// The main window's texts in the user's language.
#include "Form1.h"

void TForm1::ApplyLanguageTexts()
{
    File1->SetCaption(Text(85));
    LoadFile1->SetCaption(Text(1));
    Load1->SetCaption(Text(1));
    SaveFile1->SetCaption(Text(2));
    Save1->SetCaption(Text(2));
    Print1->SetCaption(Text(3));
    Exit1->SetCaption(Text(5));
    View1->SetCaption(Text(86));
    Notes1->SetCaption(Text(16));
    Options1->SetCaption(Text(87));
    Port1->SetCaption(Text(88));
    TMenuItem* mainPorts[] = {Com11, Com21, Com31, Com41};
    TEpItem* popupPorts[] = {Com12, Com22, Com32, Com42};
    for (int i = 0; i < 4; ++i) {
        mainPorts[i]->SetCaption(Text(26 + i));
        popupPorts[i]->SetCaption(Text(26 + i));
    }
    None1->SetCaption(Text(31));
    None2->SetCaption(Text(31));
    Auto1->SetCaption(Text(30));
    Auto2->SetCaption(Text(30));
    Utilities1->SetCaption(Text(90));
    Upload1->SetCaption(Text(50));
    UploadCurrent1->SetCaption(Text(51));
    GetMap1->SetCaption(Text(52));
    GetCurrent1->SetCaption(Text(53));
    Compare1->SetCaption(Text(54));
    Button1->SetCaption(Text(92));
    Button3->SetCaption(Text(93));
    Button4->SetCaption(Text(94));
    Button5->SetCaption(Text(95));
    Button7->SetCaption(Text(97));
    Button8->SetCaption(Text(98));
    Button9->SetCaption(Text(99));
    Button10->SetCaption(Text(100));
    Advanced1->SetCaption(Text(77));
    Font1->SetCaption(Text(78));
    for (TLabel* label : {Label, TPos, FuelCh, TPOut, ManChg, ignAdv, RpmVal, TPosVal, FuelChVal, TPosOutVal,
                          ManChgVal, IgnVal})
        label->SetCaption("");
    PopFVersion->SetCaption(Text(450));
    PopGNVersion->SetCaption(Text(451));
    PopFirmVersion->SetCaption(Text(453));
    StringGrid1->Hint = Text(450);
    MonitorPanel->Hint = Text(451);
    SetCaption(Text(11) + "  " + FileVersion());
    ResetButtonsonUpload1->SetCaption(Text(76));
    epLabelButton1->SetCaption(Text(56));
    SetTP1->SetCaption(Text(55));
    LogtoFile1->SetCaption(Text(79));
}
