#include "comm/register_catalogue.h"

namespace getkelo::reg {

const std::array<CatalogueRecord, kCatalogueSize>& textCatalogue() {
    // Names are the device-side German captions; they are Windows-1252 on the device too.
    static const std::array<CatalogueRecord, kCatalogueSize> table = {{
        {kTypeText8, 4, 0x0023, "Typen Code Teil 1", "0x0023", 8},
        {kTypeText8, 4, 0x1004, "Typen Code Teil 2", "0x1004", 8},
        {kTypeText8, 4, 0x100A, "Temperatureinheit", "0x100A", 8},
        {kTypeText8, 4, 0x100E, "Druckeinheit", "0x100E", 8},
        {kTypeText50, 25, 0x5000, "Messstellenbezeichnung", "0x5000", 50},
        {kTypeText8, 4, 0x6042, "Gas Kurzname", "0x6042", 8},
        {kTypeText50, 25, 0x6022, "Langer Gasname", "0x6022", 50},
        {kTypeText8, 4, 0x6046, "Messwerteinheit", "0x6046", 8},
        {kTypeText8, 4, 0x6386, "Totalisator Einheit", "0x6386", 8},
    }};
    return table;
}

} // namespace getkelo::reg
