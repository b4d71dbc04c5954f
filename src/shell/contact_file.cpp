#include "shell/contact_file.h"

#include "base/ini_file.h"

namespace getkelo {

ContactData readContactFile(const std::string& programDir) {
    IniFile f(programDir + "Kontakt.txt");
    ContactData c;
    c.name = f.readString("Kontakt", "Name");
    c.street = f.readString("Kontakt", "Strasse");
    c.address = f.readString("Kontakt", "Adresse");
    c.phone = f.readString("Kontakt", "Telefon");
    c.fax = f.readString("Kontakt", "Fax");
    c.mail = f.readString("Kontakt", "Mail");
    c.url = f.readString("Kontakt", "URL");
    return c;
}

} // namespace getkelo
