#include "Vexmira/CommandLine.h"

#include "Platform/core/Localization.h"

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
    CommandLine commandLine;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            commandLine.files_.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            commandLine.request_ = Request::showHelp;
            return commandLine;
        } else if (argument == "--version") {
            commandLine.request_ = Request::showVersion;
            return commandLine;
        } else {
            commandLine.request_ = Request::refuse;
            commandLine.problem_ =
                Platform::fillIn(Platform::localized("unknown option %1 (see --help)"), argument);
            return commandLine;
        }
    }
    return commandLine;
}
