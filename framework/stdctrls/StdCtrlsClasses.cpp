// The standard controls that form resources may name.
#include "Button.h"
#include "CheckBox.h"
#include "Edit.h"
#include "GroupBox.h"
#include "Label.h"

void RegisterStdCtrlsClasses()
{
    RegisterClasses<TLabel, TButton, TBitBtn, TEdit, TMemo, TCheckBox, TRadioButton, TGroupBox, TRadioGroup>();
}
