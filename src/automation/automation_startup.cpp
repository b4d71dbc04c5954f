#include "automation/automation_startup.h"

#include "automation/automation_server.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

namespace getkelo {

bool startAutomationSocket(AutomationServer& server, const std::string& path, UiAdapter& ui,
                           const TextSource& texts) {
    switch (server.listen(path)) {
    case AutomationListener::Outcome::Listening:
        return true;
    case AutomationListener::Outcome::InUse:
        ui.messageBox(texts.text("AutomationInUse") + "\n" + path, "GetKelo", MsgIcon::Information);
        return false;
    case AutomationListener::Outcome::Failed:
        ui.messageBox(texts.text("AutomationFailed") + "\n" + server.listener().error(), "GetKelo",
                      MsgIcon::Warning);
        return false;
    }
    return false;
}

} // namespace getkelo
