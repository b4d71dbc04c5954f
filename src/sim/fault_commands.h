#pragma once
#include <string>

namespace getkelo::sim {

class SimBus;

// Commands that change the bus while it runs, one per line (getkelo-sim reads them on its
// standard input; tests call this directly):
//   silent A      device A hears and answers nothing
//   crc A         device A answers with a wrong CRC
//   short A       device A answers only part of its frame
//   late A MS     device A answers MS milliseconds late
//   none A        device A behaves again
//   gas A 0|1     gas supply of controller A off or on (off: no flow at a full valve)
//   flow A V      meter A measures V
//   analog A V    the signal V (mA or V) is applied to the analog input of device A
//   unplug, plug  the whole bus goes silent, or comes back
//   service A stop|wrong|none
//                 first-generation device A breaks off an EEPROM image transfer halfway,
//                 answers it with a wrong line, or behaves again
//   boot A silent|error|stop|xoff MS|stay|none
//                 the bootloader of series-4 device A does not answer "UPDATE", answers the
//                 first two "Error:", stops in the middle of an image (once), holds XOFF for
//                 MS milliseconds in the middle of an image (once, serial line only); "stay":
//                 its firmware is gone and it stays in its bootloader; "none" clears the faults
// Returns the acknowledgement line ("ok ..." or "error: ..."). The server handles "drop"
// and "quit" itself.
std::string runFaultCommand(SimBus& bus, const std::string& line);

} // namespace getkelo::sim
