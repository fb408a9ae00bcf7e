// Any bytes at all as a map file: the reader either refuses them or loads
// every table kind without reading or writing outside its buffers.
#include "MapFile.h"
#include "TableKind.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TTableKinds kinds;
    TMapImage image;
    if (ParseMapImage(data, size, image) != TMapReadResult::Ok) return 0;
    TTableKind* order[] = {&kinds.Fuel, &kinds.IgnitionB[0], &kinds.Mp, &kinds.Ignition, &kinds.FuelB[0], &kinds.At};
    TMapHeader header;
    for (int k = 0; k < 6; ++k) {
        order[k]->BlockNumber = k + 1;
        if (order[k]->ReadMapTables(image, header, k == 0) == 1) {
            int32_t rows[MapLimits::MaxRows], columns[MapLimits::MaxColumns];
            order[k]->GetBreakpoints(rows, columns);
            volatile int32_t last = order[k]->Cell(TTableKind::Layout.Rows - 1, TTableKind::Layout.Columns - 1);
            (void)last;
        }
    }
    return 0;
}
