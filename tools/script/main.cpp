// velorim-script: runs a scenario script against the program's forms without
// a screen and prints what the script asks for (see script_runner.h).
#include <QApplication>
#include <filesystem>
#include <iostream>

#include "app/startup.h"
#include "controls/script_values.h"
#include "html/view/script_view.h"
#include "platform/gui/application.h"
#include "script_runner.h"

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::cerr << "usage: velorim-script SCRIPT\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Application->Initialize(argc, argv);
    RegisterScriptStartup("", CreateProgramForms);
    RegisterScriptProperties(ScriptControlValue, ScriptSetControlValue);
    RegisterScriptProperties(ScriptViewerValue, nullptr);
    const std::filesystem::path script = std::filesystem::absolute(argv[1]);
    int rc = 0;
    {
        TScriptRunner runner(std::cout, script.parent_path().string(), VELORIM_SOURCE_DIR);
        if (!runner.RunFile(script.string())) {
            std::cerr << "velorim-script: cannot read " << argv[1] << "\n";
            rc = 2;
        }
    }
    return rc;
}
