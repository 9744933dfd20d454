#pragma once

#include <cstdio>
#include <string>

// Redirects the process's standard output into a temporary file for as long
// as it lives, so tests can compare listings byte for byte (or count the
// lines of a huge one) without writing them to the test log.
class CapturedStdout {
public:
    CapturedStdout();
    ~CapturedStdout();
    CapturedStdout(const CapturedStdout&) = delete;
    CapturedStdout& operator=(const CapturedStdout&) = delete;

    // Everything written so far, as bytes.
    std::string text();
    // The number of '\n' written so far.
    long long lineCount();

private:
    std::FILE* file_ = nullptr;
    int savedDescriptor_ = -1;
};
