#include "cli/ConsoleInterface.h"

#include "app/OrvaneDoc.h"
#include "cli/ConsoleLoop.h"

bool ConsoleInterface::isInterfaceThread() const
{
    return loop_.isLoopThread();
}

void ConsoleInterface::postExecuteRequests()
{
    loop_.post([this] { document_.executeQueuedRequests(); });
}
