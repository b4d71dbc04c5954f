// getkelo-cli: the device layer from a shell, for scripting, service work and tests.
#include "cli/cli_app.h"
#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    getkelo::cli::CliApp app;
    for (auto add : getkelo::cli::kCommands)
        add(app);
    return app.run(argc, argv);
}
