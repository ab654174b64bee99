#pragma once
// What the operator sees on standard output: one line per status text, and on a
// terminal a live progress line for all ports beneath them.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

struct PortBar {
    std::string port;
    int position = 0;
    int upperBound = 100;
    bool running = false;
};

class ConsoleOutput {
public:
    explicit ConsoleOutput(std::FILE* stream);

    bool live() const { return live_; }
    // Prints "PORT: text"; the text is in the station's code page.
    void printLine(std::string_view port, std::string_view text);
    // Redraws the progress line (terminal only).
    void drawBars(const std::vector<PortBar>& bars);
    // Removes the progress line before the program ends (terminal only).
    void clearBars();

private:
    std::FILE* stream_;
    bool live_;
    bool barsShown_ = false;
};
