#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Platform {
class Application;
}

// vexmira-render run beside the windows, for File > Export Image... and
// File > Export Animation...: the program RenderCommand::programPath()
// finds, started with the given arguments, watched through the
// application's progress window with Cancel (which stops it, leaving no
// file), and its refusal, should it refuse, shown in an error dialog. The
// renderer draws through OSMesa, which a program on libGL must not load, so
// it runs as a program of its own; the windows stay usable meanwhile.
class RendererRun {
public:
    struct Request {
        std::vector<std::string> arguments;
        // The progress window's title.
        std::string title;
        // The error dialog's first line, naming what could not be made.
        std::string failure;
        // The second line when the renderer ended without saying why.
        std::string stoppedWithoutReason;
        // How far the run is, read from what the renderer wrote on standard
        // error so far, with a line to show; empty: no measure.
        std::function<double(const std::string& standardError, std::string& status)> progress;
    };

    // False, after the error dialog, when the renderer could not be started;
    // the rest happens in the background.
    static bool start(Platform::Application& application, Request request);

    // The reason of the renderer's last "vexmira-render: why" line; empty
    // when it gave none.
    static std::string reasonGiven(const std::string& standardError);
};
