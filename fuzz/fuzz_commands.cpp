// The virtual printer's command parser: the fuzz input is the byte stream a client writes, cut
// into reads at every LF. Split into commands, the stream must come back whole and in order,
// a refused command's skipped bytes standing in the place they came in; the same bytes then go
// through the whole printer (decoding, settings, log, answers).
#include <cstdint>
#include <string>
#include <vector>

#include "command_parser.h"
#include "printer_core.h"

namespace {

// The commands' bytes; after a refused command, the bytes of the stream it skipped.
void Append(const std::vector<vprinter::Command>& commands, const std::string& stream,
            std::string* rebuilt) {
  for (const vprinter::Command& command : commands) {
    *rebuilt += command.raw;
    if (command.kind == vprinter::Kind::Refused && rebuilt->size() <= stream.size()) {
      *rebuilt += stream.substr(rebuilt->size(), command.declared);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string stream(reinterpret_cast<const char*>(data), size);
  vprinter::CommandParser parser;
  vprinter::PrinterCore printer;
  const auto now = vprinter::PrinterCore::Clock::now();
  std::string rebuilt;
  for (size_t at = 0; at < stream.size();) {
    const size_t lf = stream.find('\n', at);
    const size_t end = lf == std::string::npos ? stream.size() : lf + 1;
    const std::string read = stream.substr(at, end - at);
    Append(parser.Feed(read), stream, &rebuilt);
    printer.Receive(read, now);
    at = end;
  }
  Append(parser.Finish(), stream, &rebuilt);
  printer.Finish(now);
  if (rebuilt != stream) __builtin_trap();
  printer.TakeDueAnswers(vprinter::PrinterCore::Clock::time_point::max());
  return 0;
}
