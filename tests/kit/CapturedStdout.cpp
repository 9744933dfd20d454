#include "CapturedStdout.h"

#include <unistd.h>

CapturedStdout::CapturedStdout() {
    std::fflush(stdout);
    file_ = std::tmpfile();
    savedDescriptor_ = dup(STDOUT_FILENO);
    if (file_ && savedDescriptor_ >= 0)
        dup2(fileno(file_), STDOUT_FILENO);
}

CapturedStdout::~CapturedStdout() {
    std::fflush(stdout);
    if (savedDescriptor_ >= 0) {
        dup2(savedDescriptor_, STDOUT_FILENO);
        close(savedDescriptor_);
    }
    if (file_)
        std::fclose(file_);
}

std::string CapturedStdout::text() {
    std::fflush(stdout);
    std::string bytes;
    if (!file_)
        return bytes;
    std::rewind(file_);
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file_)) > 0)
        bytes.append(buffer, got);
    std::fseek(file_, 0, SEEK_END);
    return bytes;
}

long long CapturedStdout::lineCount() {
    std::fflush(stdout);
    long long lines = 0;
    if (!file_)
        return lines;
    std::rewind(file_);
    int c = 0;
    while ((c = std::fgetc(file_)) != EOF)
        lines += c == '\n';
    std::fseek(file_, 0, SEEK_END);
    return lines;
}
