// The library's transport classes: which port request each serves, how it is made and opened.
// OpenPort and tallyjet_open both choose and open their transport here.
#ifndef TALLYJET_TRANSPORT_KINDS_H
#define TALLYJET_TRANSPORT_KINDS_H

class CommBase;

// What a port was asked for.
struct PortRequest {
  const char* name;
  int baudRate;
  char parity;
  int dataBits;
  int stopBits;
};

struct TransportKind {
  bool (*serves)(const PortRequest&);
  bool (*is)(CommBase*);
  CommBase* (*make)();
  int (*open)(CommBase*, const PortRequest&);
};

// The first kind that serves the request, in the order the name and the baud rate are matched.
const TransportKind& KindAskedFor(const PortRequest& port);

// The library's kind of transport, or null for a transport of the application's own.
const TransportKind* KindOf(CommBase* transport);

// Whether the transport's writes wait while the printer cannot take more: the library's own
// (USB, device nodes and TCP block; its serial line always runs RTS/CTS) and an application's
// link, whose write is expected to block likewise. A CommBase of the application's own is not
// known to.
bool WritesWaitForPrinter(CommBase* transport);

// How a transport that is not of the kind asked for is opened: an application's own, or one of
// the library's that is still open (it is kept, and answers for itself).
int OpenKept(CommBase* transport, const PortRequest& port);

#endif  // TALLYJET_TRANSPORT_KINDS_H
