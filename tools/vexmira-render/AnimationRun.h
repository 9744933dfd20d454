#pragma once

#include "tools/vexmira-render/RenderOptions.h"

#include <cstdio>
#include <string>

// Renders the frames of an animation one after the other into the writer the
// output name asks for, showing progress on standard error as asked. A
// failure, or an interruption (SIGINT, SIGTERM, SIGHUP), stops the run and
// removes everything it wrote.
class AnimationRun {
public:
    // stream: where progress goes; terminal: whether it is one, so the line
    // can rewrite itself.
    AnimationRun(const RenderOptions& options, std::FILE* progressStream, bool terminal);

    // False with the reason in errorMessage; interrupted() then tells
    // whether a signal stopped the run.
    bool run(std::string& errorMessage);

    // Catches the signals that end a run, so it can clean up first.
    static void catchInterruptions();
    static bool interrupted();

private:
    void showProgress(int framesDone, double secondsSoFar);
    void endProgress();

    const RenderOptions& options_;
    std::FILE* progressStream_;
    bool terminal_;
    bool progressShown_ = false;
};
