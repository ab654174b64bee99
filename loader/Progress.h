#pragma once

#include <atomic>
#include <string>

// The progress and cancel interface of one download, as the job and every protocol
// step running inside it see it.
namespace Tarea {
class Port;
}

class Progress {
public:
    virtual ~Progress() = default;
    // True once the operator cancelled this port's download or the document is closing.
    virtual bool cancelled() = 0;
    virtual void setRange(int upperBound) = 0;
    virtual void setPos(int position) = 0;
    // Moves the position by a signed amount, clamped to 0..upper bound; 0 does nothing.
    virtual void step(int amount) = 0;
    virtual void complete() = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void finish(bool success) = 0;

    // The port whose waits a cancel request must wake; set by the loader thread, read
    // by the thread that cancels.
    void setPort(Tarea::Port* port) { port_.store(port); }
    Tarea::Port* port() const { return port_.load(); }

private:
    std::atomic<Tarea::Port*> port_{nullptr};
};
