#include "graphs/console_graph_host.h"

#include "base/number_format.h"
#include "comm/tcomm.h"
#include "console/console.h"

namespace getkelo {

DeviceList& ConsoleGraphHost::devices() {
    return console_.devices();
}
TTesra* ConsoleGraphHost::connection() {
    return console_.connection();
}
TickDoneFlag& ConsoleGraphHost::tickDone() {
    return console_.tickDone();
}
Clock& ConsoleGraphHost::clock() {
    return console_.comm().clock();
}
std::string ConsoleGraphHost::graphDirectory() {
    return console_.settings().workDir;
}
void ConsoleGraphHost::sendSetpoint(float value) {
    // The same road as the operator's set point: checked and sent by the next tick.
    console_.SollOKBtnClick(formatGeneral(value, 7));
}

} // namespace getkelo
