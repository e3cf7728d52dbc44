// The process-wide connection state, the entry points that manage it, and those that send raw
// text, in both faces.
#include "connection.h"
#include "cp850.h"
#include "escpos_command.h"
#include "heap_buffer.h"
#include "printer_handle.h"
#include "transport_kinds.h"

CommBase* comm_ = nullptr;
ProtEscPos* prot_ = nullptr;

namespace {

constexpr int kShortestAnswerWaitMs = 1;
constexpr int kLongestAnswerWaitMs = 30000;

int protocol_ = 0;
int codepage_ = TALLYJET_CODEPAGE_850;
text::TextStyle textStyle_;

// Destroys the connection's objects. The encoder owns its transport; a transport left without
// an encoder is destroyed alone.
void Discard() {
  if (prot_ != nullptr) {
    delete prot_;
  } else {
    delete comm_;
  }
  prot_ = nullptr;
  comm_ = nullptr;
}

int Reset(const PrinterConnection& link) {
  const int rc = connection::Forward(link, &ProtEscPos::Initialize);
  if (rc == TALLYJET_SUCCESS) text::NoteReset(link.style);
  return rc;
}

int GetData(const PrinterConnection& link, char* buffer, int length) {
  if (link.transport == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  return link.transport->Read(buffer, length);
}

int SetCharCodeTable(const PrinterConnection& link, int table) {
  const int rc = connection::Check(link);
  if (rc != TALLYJET_SUCCESS) return rc;
  if (!escpos::OneOf(table, {TALLYJET_CODEPAGE_437, TALLYJET_CODEPAGE_850, TALLYJET_CODEPAGE_860,
                             TALLYJET_CODEPAGE_858, TALLYJET_CODEPAGE_1252})) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  *link.codepage = table;
  const int sent = link.encoder->SetCharCodeTable(table);
  if (sent == TALLYJET_SUCCESS) text::NoteCodeTable(link.style, table);
  return sent;
}

int Write(const PrinterConnection& link, const char* data, int length) {
  if (link.transport == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0 || (data == nullptr && length > 0)) return TALLYJET_ERR_INVALID_ARGUMENT;
  return link.transport->Write(data, length);
}

int SetAnswerTimeout(const PrinterConnection& link, int ms) {
  if (link.transport == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (!escpos::InRange(ms, kShortestAnswerWaitMs, kLongestAnswerWaitMs)) {
    return TALLYJET_ERR_INVALID_ARGUMENT;
  }
  link.transport->SetTimeout(ms);
  return TALLYJET_SUCCESS;
}

int SendData(const PrinterConnection& link, const char* data, int length) {
  if (link.transport == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_NO_MEMORY;
  if (data == nullptr && length > 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (*link.codepage != TALLYJET_CODEPAGE_850) return link.transport->Write(data, length);
  HeapBuffer text(static_cast<size_t>(length));
  if (!text.ok()) return TALLYJET_ERR_NO_MEMORY;
  const int converted = cp850::FromUtf8(data, length, text.data());
  if (converted < 0) return converted;
  // Only the converted bytes go out: padding to the caller's length would add NULs that the
  // printer reads as text or as the parameter of an unfinished command.
  return link.transport->Write(text.data(), converted);
}

}  // namespace

PrinterConnection connection::ProcessWide() { return {comm_, prot_, &codepage_, &textStyle_}; }

PrinterConnection connection::Of(tallyjet_printer* printer) {
  if (printer == nullptr) return ProcessWide();
  return {printer->transport, &printer->encoder, &printer->codepage, &printer->style};
}

int connection::Check(const PrinterConnection& link) {
  if (link.transport == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (link.encoder == nullptr) return TALLYJET_ERR_NO_PROTOCOL;
  return TALLYJET_SUCCESS;
}

using connection::Of;
using connection::ProcessWide;

extern "C" {

int SetProtocol(int protocol) {
  if (protocol != TALLYJET_PROTOCOL_ESCPOS) return TALLYJET_ERR_NOT_SUPPORTED;
  protocol_ = protocol;
  return TALLYJET_SUCCESS;
}

int OpenPort(const char* portName, int baudRate, char parity, int dataBits, int stopBits) {
  if (portName == nullptr) return TALLYJET_ERR_INVALID_ARGUMENT;
  const PortRequest port{portName, baudRate, parity, dataBits, stopBits};
  const TransportKind& asked = KindAskedFor(port);
  // A transport of the library left unopened by an earlier call gives way to the kind asked for
  // now, so that "USB, else /dev/usb/lp0" works. An open one, or an application's own, is kept.
  if (comm_ != nullptr) {
    const TransportKind* kept = KindOf(comm_);
    if (kept != nullptr && kept != &asked && !comm_->IsOpen()) Discard();
  }
  if (comm_ == nullptr) comm_ = asked.make();
  if (protocol_ != TALLYJET_PROTOCOL_ESCPOS) return TALLYJET_ERR_NO_PROTOCOL;
  if (prot_ == nullptr) prot_ = new ProtEscPos(comm_);

  const int rc = asked.is(comm_) ? asked.open(comm_, port) : OpenKept(comm_, port);
  if (rc != TALLYJET_SUCCESS) return rc;
  prot_->SetOperationMode(0);
  return TALLYJET_SUCCESS;
}

int ClosePort() {
  if (comm_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  const int rc = comm_->Close();
  Discard();
  return rc;
}

int EnableLog() {
  const int rc = connection::Check(ProcessWide());
  return rc == TALLYJET_SUCCESS ? TALLYJET_ERR_NOT_SUPPORTED : rc;
}

int GetData(char* buffer, int length) { return GetData(ProcessWide(), buffer, length); }
int Reset() { return Reset(ProcessWide()); }
int SetCharCodeTable(int table) { return SetCharCodeTable(ProcessWide(), table); }
int SendData(const char* data, int length) { return SendData(ProcessWide(), data, length); }

int tallyjet_get_data(tallyjet_printer* printer, char* buffer, int length) {
  return GetData(Of(printer), buffer, length);
}
int tallyjet_reset(tallyjet_printer* printer) { return Reset(Of(printer)); }
int tallyjet_write(tallyjet_printer* printer, const char* data, int length) {
  return Write(Of(printer), data, length);
}
int tallyjet_set_answer_timeout(tallyjet_printer* printer, int ms) {
  return SetAnswerTimeout(Of(printer), ms);
}
int tallyjet_set_char_code_table(tallyjet_printer* printer, int table) {
  return SetCharCodeTable(Of(printer), table);
}
int tallyjet_send_data(tallyjet_printer* printer, const char* data, int length) {
  return SendData(Of(printer), data, length);
}

}  // extern "C"
