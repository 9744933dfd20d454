#pragma once

#include <string>
#include <vector>

// What `vexmira ARGUMENT...` asks for: documents to open (none: a new one),
// the help or the version, or nothing at all because an argument was not
// understood. Arguments after "--" are documents whatever they look like.
class CommandLine {
public:
    enum class Request { openDocuments, showHelp, showVersion, refuse };

    static CommandLine parse(const std::vector<std::string>& arguments);

    Request request() const { return request_; }
    const std::vector<std::string>& files() const { return files_; }
    // Why the arguments were refused, in one localised line.
    const std::string& problem() const { return problem_; }

private:
    Request request_ = Request::openDocuments;
    std::vector<std::string> files_;
    std::string problem_;
};
