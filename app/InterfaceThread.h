#pragma once
// The thread that owns the operator's interface: the GUI's event loop or the headless
// station's main loop. Loader threads never touch it directly; they queue requests in
// the document, which asks the interface thread to run them.

class InterfaceThread {
public:
    virtual ~InterfaceThread() = default;
    // True when called on the interface thread itself.
    virtual bool isInterfaceThread() const = 0;
    // Command 104: have the interface thread call OrvaneDoc::executeQueuedRequests soon.
    // Called from any thread; never blocks.
    virtual void postExecuteRequests() = 0;
    // The document changed in a way the views show (tree rebuilt, busy flag, title).
    virtual void updateAllViews() {}
};
