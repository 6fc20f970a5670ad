// End-to-end test driver. Besides GoogleTest's own flags it takes
//   --winerun=PATH --probe=PATH --valumat=PATH --bare-window=PATH --sample=PATH
//   --dragsource=PATH --errproc=PATH --screenshots=DIR --visual-styles=on|off
#include "harness.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // A probe that dies must surface as a failed write, not kill the driver.
    signal(SIGPIPE, SIG_IGN);

    auto& c = e2e::config();
    const struct {
        const char* flag;
        std::string* value;
    } flags[] = {{"--winerun=", &c.winerun},         {"--probe=", &c.probe},
                 {"--valumat=", &c.valumat},         {"--bare-window=", &c.bareWindow},
                 {"--sample=", &c.sample},           {"--screenshots=", &c.screenshots},
                 {"--dragsource=", &c.dragSource},   {"--errproc=", &c.errproc},
                 {"--visual-styles=", &c.visualStyles}};
    for (int i = 1; i < argc; ++i) {
        bool known = false;
        for (const auto& f : flags)
            if (std::strncmp(argv[i], f.flag, std::strlen(f.flag)) == 0) {
                *f.value = argv[i] + std::strlen(f.flag);
                known = true;
            }
        if (!known) {
            std::cerr << "unknown argument: " << argv[i] << "\n";
            return 2;
        }
    }
    if (c.winerun.empty() || c.probe.empty()) {
        std::cerr << "--winerun and --probe are required\n";
        return 2;
    }
    if (!std::getenv("DISPLAY")) {
        std::cerr << "DISPLAY is not set: run the suite through tools/test, which starts Xvfb\n";
        return 2;
    }
    if (!c.screenshots.empty()) {
        // Its parent too: a setting's screenshots go into a folder of their own.
        const size_t slash = c.screenshots.find_last_of('/');
        if (slash != std::string::npos && slash > 0) mkdir(c.screenshots.substr(0, slash).c_str(), 0755);
        mkdir(c.screenshots.c_str(), 0755);
    }
    return RUN_ALL_TESTS();
}
