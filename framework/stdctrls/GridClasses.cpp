// The grid family: the classes form resources may name.
#include "Grid.h"

void RegisterGridClasses()
{
    RegisterClasses<TStringGrid>();
}
