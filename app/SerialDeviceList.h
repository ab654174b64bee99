#pragma once
// The serial devices present on the machine, offered in the port drop-downs of the
// configuration pages.
#include <string>
#include <vector>

// The links of <devRoot>/serial/by-id, then <devRoot>/ttyS*, ttyUSB* and ttyACM*, each
// group in natural order (ttyS2 before ttyS10). A ttyS node whose UART the kernel
// reports as absent (<sysRoot>/class/tty/ttySN/type holding 0) is left out.
std::vector<std::string> presentSerialDevices(const std::string& devRoot = "/dev",
                                              const std::string& sysRoot = "/sys");
