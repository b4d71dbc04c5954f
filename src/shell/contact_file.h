#pragma once
#include <string>

namespace getkelo {

// The maker's contact data from "Kontakt.txt" in the program directory (section "Kontakt").
struct ContactData {
    std::string name, street, address, phone, fax, mail, url;
};

ContactData readContactFile(const std::string& programDir);

} // namespace getkelo
