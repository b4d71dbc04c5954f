#pragma once
#include "comm/tcomm.h"

namespace getkelo {

class TTesra;

// What the firmware update needs from the owner of the console's connection: the update
// closes that connection, talks to the bootloader on the same line with the update set, and
// has the connection made anew afterwards (the console, the command line, tests).
class UpdateLink {
  public:
    virtual ~UpdateLink() = default;
    // The console's connection now (null while it is closed).
    virtual TTesra* connection() = 0;
    virtual void closeConnection() = 0;
    // From the settings of section "Tesra", the device set.
    virtual void openConnection() = 0;
    // The same line with the firmware-update set; Handle <= 0 when it could not be opened.
    virtual TChannel openUpdateChannel() = 0;
};

} // namespace getkelo
