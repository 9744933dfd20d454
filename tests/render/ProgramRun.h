#pragma once

#include <string>

namespace VexmiraTest {

// What one run of a command-line program left behind.
struct ProgramRun {
    int status = -1; // the exit status; -1 when it did not exit normally
    std::string standardOutput;
    std::string standardError;
};

// Runs `program arguments` through the shell with standard input from
// inputFile (or /dev/null) and in workingDirectory (or the current one);
// both outputs are captured through files in captureFolder.
ProgramRun runProgram(const std::string& program, const std::string& arguments,
                      const std::string& captureFolder, const std::string& inputFile = "",
                      const std::string& workingDirectory = "");

// A path as one shell word.
std::string shellQuoted(const std::string& text);

} // namespace VexmiraTest
