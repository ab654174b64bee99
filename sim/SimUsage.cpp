// The simulator's --help: every option, and how the simulated payment terminal behaves,
// so that a station can be tried without hardware.
#include "sim/SimOptions.h"

namespace termsim {

std::string usageText()
{
    return R"(usage: orvane-termsim [options]

Plays a terminal on a serial line for tests, benchmarks and trying a station without
hardware. It opens a new pseudo-terminal (or --device) and prints the path the station
is to open as the first line of standard output, then runs until SIGINT or SIGTERM.

Line and run:
  --mode hexsink|terminal  terminal behaviour (default hexsink, see below)
  --device PATH         use this serial device instead of a new pseudo-terminal
  --link PATH           make PATH a symbolic link to the line while running
  --log FILE            append line settings and events to FILE, one per line
  --stats FILE          at the end (also on SIGTERM) write "bytes-in N", "bytes-out N",
                        "frames N" (good frames taken) and one "turnaround-us N" per
                        link exchange: the time from the terminal's last byte on the
                        line (of a response, or of the NAK or ACK it sent) to the
                        station's next byte
  --bitrate N|line      pace bytes both ways at N bit/s, or at the rate the station set
                        on the line (ten bits a byte): bytes sent leave at the line
                        rate, bytes received count as arrived no earlier than the line
                        allows, so no answer comes before a frame could have arrived
  --vanish-after N      close the line after N received bytes (the device goes away)
  --stall-after N       stop reading after N received bytes
  --help                show this text

--mode hexsink: a plain Intel HEX sink that never answers.
  --out FILE            write every received byte to FILE
  --exit-on-eof         end after the end-of-file record ":00000001FF" CR LF

--mode terminal: a payment terminal of the bootstrap family.
  BIOS console (the start): a CR alone is answered with the BIOS banner
      CR LF "PAYMENT TERMINAL BIOS 1.0" CR LF "MODE F LOAD" CR LF
    whose 'F', 8 bytes before its end, says the BIOS waits for a load; a '?' gets no
    answer (the BIOS has no prompt). Lines of Intel HEX text (":..." CR LF) are the RAM
    bootstrap being uploaded; after the end-of-file record ":00000001FF" the bootstrap
    starts (after --boot-delay) and from then on speaks at its own line settings.
  RAM bootstrap console: '?' is answered '>', 'q' is echoed and switches to protocol
    mode; a CR and other bytes are ignored.
  Link protocol: frames DLE STX payload DLE ETX LCR with every DLE of the payload
    doubled. A good frame is answered with ACK and then the response frame (status,
    the command's two characters, data); a frame with a wrong LCR or bad stuffing gets
    NAK and is dropped. After a response the terminal waits for the station's ACK, or
    sends the same response again on NAK (3 times at most).
      "10"           "00"
      "11" kind+hdr  open component (kind 0 config, 1 prekernel, 2 kernel; 256-byte
      "15" hdr       header): "00" + the block length offered (16-bit little-endian)
      "12" n+data    block n (16-bit LE) appended, n echoed; n = 1, 2, ...; "54" for
                     another number, "53" for more data than offered, "?>" with no
                     download open; a block sent again after a lost answer is answered
                     again, not taken twice. Block 0 without data closes the component:
                     written to --files as NN-<kind>.bin with its header as
                     NN-<kind>.hdr (NN from 01; kind config, prekernel, kernel, app)
      "13" 4         "00" + 8 filler bytes + the --guarantee file; "55" without it
      "13" 5         "00" + the --config-data file; "55" without it
      "13" other     "51"
      "14"           "00", the load is over: the terminal restarts after
                     --restart-ms (until then it still answers NAK or ACK)
      "16".."19"     "00", the parameters are written to the event log
      other          "??"
    A wrong parameter length gets "50", a component kind above 2 gets "51", a
    component that cannot be written gets "56".
  Clock dialogue (after the restart, at the --clock-line settings): the terminal sends
    'T' every --wake-every ms until the station sends '?', answers 'K', echoes 'D',
    reads 14 digits YYYYMMDDhhmmss (logged as "clock YYYYMMDDhhmmss") and answers 'Y'.
    Without a '?' it stops sending 'T' after --wake-limit ms.
  Line settings: the bootstrap, the protocol and the clock dialogue listen at their
    own settings. Bytes the station sends at other settings are lost, as a UART at
    another rate would garble them, and bytes the terminal sends reach the station as
    0xFF. On a pseudo-terminal only the speed and the stop bits of the station's
    settings can be seen (its driver forces 8 data bits and no parity), so only these
    are compared. The BIOS follows whatever the station uses. The terminal sees the
    settings when it reads the bytes, so bytes written just before a change of
    settings may be judged by the new ones.
  The event log has a line for every command ("command 12 block 3 len 2045"), header
  ("header kernel tag KKK"), component written ("component 01-kernel 5000 bytes"),
  error status answered, NAK sent, resend request, fault played and clock set.

  --files DIR           keep what the station sends in DIR: ramboot.hex (the uploaded
                        RAM bootstrap lines) and the downloaded components
  --bios-idle           the BIOS does not wait for a load: no 'F' in its banner
                        ("MODE I IDLE")
  --bootstrap-running   start in the RAM bootstrap console (at --ramboot-line)
  --protocol-running    start in protocol mode (at --ramboot-line): a CR gets no
                        banner, a '?' no '>', a stray ACK is ignored, "10" succeeds
  --boot-delay MS       from the end-of-file record to the running bootstrap (100)
  --ramboot-line TEXT   the bootstrap's line settings, baud,parity,data,stop
                        (115200,N,8,1)
  --block-length N      block length offered after "11" and "15", 0 to 65535 (2045)
  --guarantee FILE      the guarantee data the terminal holds (selector 4)
  --config-data FILE    the configuration data the terminal holds (selector 5)
  --restart-ms MS       from the answer to "14" to the clock dialogue (200)
  --clock-line TEXT     the clock dialogue's line settings (115200,N,8,1)
  --wake-char C         the wake character instead of 'T' (a character or 0xNN)
  --wake-every MS       interval of the wake character (100)
  --wake-limit MS       stop sending it after this long without a '?' (60000)
  --ready-char C        the answer to '?' instead of 'K' (e.g. k)
  --clock-answer C      the answer to the 14 digits instead of 'Y'

  Faults; each count runs over the whole session, resent responses included:
  --nak-frames N        NAK the first N good frames (they are not carried out)
  --bad-lcr N           the first N responses carry a wrong LCR
  --lose-acks N         send no ACK for the first N frames, but answer them
  --dle-for-ack N       for the first N frames the response's DLE comes where the
                        station waits for ACK or NAK (no ACK is sent)
  --silent-after N      after N frames answer nothing at all, not even NAK
  --truncate N          the first N responses stop after half their bytes; the rest
                        is never sent
  --wrong-echo N        the first N block echoes of "12" are the number + 1
  --echo-cmd N          the first N responses echo another command's characters
  --status CMD=SS       answer command CMD with status SS and carry nothing out
                        (repeatable, e.g. --status 12=54 --status 11=52); SS may be
                        two bytes written 0xNN,0xNN (e.g. 0x81,0x35)
  --short-open          answer "11" and "15" without the block length
  --noise-every N       line noise: every Nth received byte arrives corrupted

Example: try a station without hardware
  orvane-termsim --mode terminal --files /tmp/got --log /tmp/events.log \
      --guarantee guarantee.bin --config-data config.bin --bitrate line
  then point the station at the printed path (or --link PATH) and load as usual.
)";
}

} // namespace termsim
