#include "render/ProgramRun.h"

#include "support/TemporaryFolder.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace VexmiraTest {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

ProgramRun runProgram(const std::string& program, const std::string& arguments,
                      const std::string& captureFolder, const std::string& inputFile,
                      const std::string& workingDirectory) {
    const std::string outFile = captureFolder + "/stdout.capture";
    const std::string errFile = captureFolder + "/stderr.capture";
    std::string command;
    if (!workingDirectory.empty())
        command = "cd " + shellQuoted(workingDirectory) + " && ";
    command += shellQuoted(program) + " " + arguments + " <" +
               shellQuoted(inputFile.empty() ? "/dev/null" : inputFile) + " >" +
               shellQuoted(outFile) + " 2>" + shellQuoted(errFile);
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.standardOutput = TemporaryFolder::read(outFile);
    run.standardError = TemporaryFolder::read(errFile);
    std::remove(outFile.c_str());
    std::remove(errFile.c_str());
    return run;
}

} // namespace VexmiraTest
