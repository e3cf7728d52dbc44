// One contract for every transport, against the virtual printer: the device node and the serial
// line on its pty, USB through the libusb-0.1 double linked to that pty, TCP on 127.0.0.1, and
// an application's own link (tallyjet_transport) over the pty.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>

#include "comm_app_link.h"
#include "comm_net.h"
#include "comm_uart.h"
#include "comm_usb.h"
#include "comm_usblp.h"
#include "descriptor_link.h"
#include "fake_libusb.h"
#include "loopback_sockets.h"
#include "printer_on_pty.h"
#include "receipt_round_trip.h"
#include "stopwatch.h"

namespace {

constexpr int kShortTimeoutMs = 20;
// Longer than any wait a passing test makes, so a call that waits it out shows.
constexpr int kLongTimeoutMs = 10000;
// Far below kLongTimeoutMs and the 5 s connect bound, far above any scheduling delay.
constexpr long kAtOnceMs = 2000;
const std::string kStatusQuery = "\x10\x04\x01";  // DLE EOT 1

// A backend says how to reach the printer (and no printer), how to silence it, how to make a
// write stop part-way, and the codes where its transport answers differently.
template <typename Transport, int goneRead, int baudRate>
struct PathBackend {
  static constexpr bool kOnLoopback = false;
  static constexpr bool kOpenPortTakesIt = true;
  static constexpr int kBaudRate = baudRate;
  static constexpr int kSilentRead = 0;
  static constexpr int kGoneRead = goneRead;
  static constexpr int kEmptyWrite = TALLYJET_SUCCESS;
  // More than the pty holds while the printer does not read (about 20 KB).
  static constexpr int kStalledJob = 64 * 1024;
  static std::unique_ptr<CommBase> Make() { return std::make_unique<Transport>(); }
  static std::string PortName(const vprinter::VirtualPrinter& printer) {
    return printer.PortName();
  }
  static void Attach(const vprinter::VirtualPrinter&) {}
  static int Open(CommBase* transport, const vprinter::VirtualPrinter& printer) {
    return transport->Open(PortName(printer).c_str());
  }
  static int OpenMissing(CommBase* transport) { return transport->Open("/nonexistent/port"); }
  static void Silence(vprinter::VirtualPrinter* printer) {
    vprinter::PrinterState state;
    state.answers = vprinter::PrinterState::Answers::Silent;
    printer->SetState(state);
  }
  // The printer stops reading; a write gives up once it has taken no byte for ten read
  // time-outs (the device node), or after its line time (the serial line).
  static void StopTaking(CommBase* transport, vprinter::VirtualPrinter* printer) {
    transport->SetTimeout(kShortTimeoutMs);
    printer->SetRates(0, 1);
  }
  static void TakeAgain(vprinter::VirtualPrinter* printer) { printer->SetRates(0, 0); }
  static int OpenHandle(const vprinter::VirtualPrinter& printer, tallyjet_printer** handle) {
    return tallyjet_open(PortName(printer).c_str(), kBaudRate, handle);
  }
};

using DeviceNode = PathBackend<CommUsbLP, TALLYJET_ERR_READ, 0>;

// Refuses an empty write: the line has nothing to pace. A write's time is twice its bytes' time
// on the line (115200 bit/s when opened directly) plus 1 s: a job just above what the pty holds
// stops within about 5 s.
struct SerialLine : PathBackend<CommUart, TALLYJET_ERR_SERIAL_TIMEOUT, 9600> {
  static constexpr int kEmptyWrite = TALLYJET_ERR_FAILED;
  static constexpr int kStalledJob = 24 * 1024;
};

struct Network : PathBackend<CommNet, TALLYJET_ERR_READ, 0> {
  static constexpr bool kOnLoopback = true;
  static constexpr int kStalledJob = 16 << 20;  // more than both sides' socket buffers hold
  static int OpenMissing(CommBase* transport) {
    OwnSocket nobodyListens;
    return transport->Open(nobodyListens.Name().c_str());
  }
  static void StopTaking(CommBase* transport, vprinter::VirtualPrinter* printer) {
    dynamic_cast<CommNet*>(transport)->SetWriteTimeout(200);
    printer->SetRates(0, 1);
  }
};

// Reads answer libusb's own numbers: a time-out, or a device that is gone.
struct UsbBulk : PathBackend<CommUsb, -ENODEV, 0> {
  static constexpr int kSilentRead = -ETIMEDOUT;
  static std::string PortName(const vprinter::VirtualPrinter&) { return "USB"; }
  static void Attach(const vprinter::VirtualPrinter& printer) {
    const FakeUsbDevice standard;
    const int device = fake_usb_add_device(fake_usb_add_bus(), &standard);
    ASSERT_EQ(fake_usb_link(device, printer.SlavePath().c_str()), 0);
  }
  static int Open(CommBase* transport, const vprinter::VirtualPrinter&) {
    return transport->Open(kUsbProductId, kUsbVendorId);
  }
  static int OpenMissing(CommBase* transport) {
    return transport->Open(kUsbExtendedProductId, kUsbVendorId);
  }
  // The double plays the bulk read's time-out at once instead of after libusb's 3 s.
  static void Silence(vprinter::VirtualPrinter*) {
    FakeUsbDevice timesOut;
    timesOut.readError = -ETIMEDOUT;
    fake_usb_change_device(0, &timesOut);
  }
  // The device takes all but the last byte of a transfer.
  static void StopTaking(CommBase*, vprinter::VirtualPrinter*) {
    FakeUsbDevice takesShort;
    takesShort.writeShortBy = 1;
    fake_usb_change_device(0, &takesShort);
  }
  static void TakeAgain(vprinter::VirtualPrinter*) {
    const FakeUsbDevice standard;
    fake_usb_change_device(0, &standard);
  }
};

// The library's side of an application's link, as tallyjet_open_transport makes it, over a
// descriptor the application opens by the port name. Opening makes a link; closing it calls the
// application's close, and so does destroying an open one, as tallyjet_close does.
class LinkOnDescriptor : public CommBase {
 public:
  ~LinkOnDescriptor() override { Close(); }
  using CommBase::Open;
  int Open(const char* path) override {
    Close();
    descriptor_ = descriptor_link::Connect(path);
    if (descriptor_ < 0) return TALLYJET_ERR_PORT_NOT_OPEN;
    link_ = std::make_unique<CommAppLink>(descriptor_link::kFunctions, &descriptor_);
    link_->SetTimeout(timeout_);
    return TALLYJET_SUCCESS;
  }
  int Close() override {
    if (link_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
    const int rc = link_->Close();
    link_.reset();
    return rc;
  }
  bool IsOpen() override { return link_ != nullptr && link_->IsOpen(); }
  int Write(const char* data, int length) override {
    return link_ != nullptr ? link_->Write(data, length) : TALLYJET_ERR_PORT_NOT_OPEN;
  }
  int Read(char* buffer, int length) override {
    return link_ != nullptr ? link_->Read(buffer, length) : TALLYJET_ERR_PORT_NOT_OPEN;
  }
  void SetTimeout(int milliseconds) override {
    timeout_ = milliseconds;
    if (link_ != nullptr) link_->SetTimeout(milliseconds);
  }

 private:
  std::unique_ptr<CommAppLink> link_;
  int descriptor_ = -1;
  int timeout_ = 300;
};

// Reads and writes fail as the application's functions report it; OpenPort has no name for it.
struct ApplicationLink : PathBackend<LinkOnDescriptor, TALLYJET_ERR_READ, 0> {
  static constexpr bool kOpenPortTakesIt = false;
  static int OpenHandle(const vprinter::VirtualPrinter& printer, tallyjet_printer** handle) {
    static int descriptor;
    descriptor = descriptor_link::Connect(printer.PortName());
    return tallyjet_open_transport(&descriptor_link::kFunctions, &descriptor, handle);
  }
};

template <typename Backend>
class TransportContract : public PrinterOnPty {
 protected:
  TransportContract() : PrinterOnPty(Backend::kOnLoopback ? OnLoopback() : vprinter::Options()) {}

  void SetUp() override {
    fake_usb_reset();
    PrinterOnPty::SetUp();
    Backend::Attach(printer);
  }

  int Open() { return Backend::Open(transport.get(), printer); }

  // Descriptors, USB handles and claimed interfaces.
  static long Held() {
    const std::filesystem::directory_iterator descriptors("/proc/self/fd");
    const FakeUsbCounters usb = fake_usb_counters();
    return std::distance(begin(descriptors), end(descriptors)) + usb.handlesOpen + usb.claimed;
  }

  // Opens, and shows with one byte that the printer is reached (a network printer has taken
  // the connection).
  void OpenAndReach() {
    ASSERT_EQ(Open(), TALLYJET_SUCCESS);
    const size_t before = printer.Received().size();
    ASSERT_EQ(transport->Write("\n", 1), TALLYJET_SUCCESS);
    ASSERT_TRUE(printer.WaitForReceived(before + 1, kAtOnceMs));
  }

  // Writes text and waits until the printer has it, behind whatever it still had to read.
  bool WriteAndWaitFor(const std::string& text) {
    if (transport->Write(text.data(), static_cast<int>(text.size())) != TALLYJET_SUCCESS) {
      return false;
    }
    const Stopwatch watch;
    while (printer.Received().find(text) == std::string::npos) {
      if (watch.Ms() > kLongTimeoutMs) return false;
      usleep(10000);
    }
    return true;
  }

  void ExpectNothingOpen() {
    char byte = 'x';
    EXPECT_FALSE(transport->IsOpen());
    EXPECT_EQ(transport->Write(&byte, 1), TALLYJET_ERR_PORT_NOT_OPEN);
    EXPECT_EQ(transport->Read(&byte, 1), TALLYJET_ERR_PORT_NOT_OPEN);
    EXPECT_EQ(transport->Close(), TALLYJET_ERR_PORT_NOT_OPEN);
  }

  std::unique_ptr<CommBase> transport = Backend::Make();
};

using Backends = ::testing::Types<DeviceNode, SerialLine, UsbBulk, Network, ApplicationLink>;
TYPED_TEST_SUITE(TransportContract, Backends);

TYPED_TEST(TransportContract, FailedOpenLeavesNothingUsable) {
  this->ExpectNothingOpen();
  const Stopwatch watch;
  EXPECT_LT(TypeParam::OpenMissing(this->transport.get()), 0);
  EXPECT_LT(watch.Ms(), kAtOnceMs);
  this->ExpectNothingOpen();
}

// Every byte value arrives unchanged and in order, and a length below 0 is refused.
TYPED_TEST(TransportContract, WriteArrivesWhole) {
  ASSERT_EQ(this->Open(), TALLYJET_SUCCESS);
  EXPECT_TRUE(this->transport->IsOpen());
  char byte = 'x';
  EXPECT_EQ(this->transport->Write(&byte, -1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(this->transport->Read(&byte, -1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(this->transport->Write(&byte, 0), TypeParam::kEmptyWrite);
  std::string job(6000, ' ');
  for (size_t i = 0; i < job.size(); ++i) job[i] = static_cast<char>(i * 7 % 256);
  EXPECT_EQ(this->transport->Write(job.data(), static_cast<int>(job.size())), TALLYJET_SUCCESS);
  EXPECT_EQ(this->transport->Close(), TALLYJET_SUCCESS);
  ASSERT_TRUE(this->printer.WaitForReceived(job.size(), 5000));
  EXPECT_TRUE(this->printer.Received() == job) << "the bytes that arrived differ";
}

// The answer comes back as soon as it is there, not at the end of the time-out; a printer that
// stays silent gives none.
TYPED_TEST(TransportContract, ReadTakesTheAnswerAsItArrivesAndSilenceIsNoAnswer) {
  ASSERT_EQ(this->Open(), TALLYJET_SUCCESS);
  this->transport->SetTimeout(kLongTimeoutMs);
  ASSERT_EQ(this->transport->Write(kStatusQuery.data(), 3), TALLYJET_SUCCESS);
  const Stopwatch watch;
  char answer[8];
  ASSERT_EQ(this->transport->Read(answer, sizeof answer), 1);
  EXPECT_LT(watch.Ms(), kAtOnceMs);
  EXPECT_EQ(answer[0] & 0x13, 0x12);  // the fixed bits of a status byte
  TypeParam::Silence(&this->printer);
  this->transport->SetTimeout(kShortTimeoutMs);
  ASSERT_EQ(this->transport->Write(kStatusQuery.data(), 3), TALLYJET_SUCCESS);
  EXPECT_EQ(this->transport->Read(answer, sizeof answer), TypeParam::kSilentRead);
}

// A printer unplugged, or one whose line hung up: writes and reads fail without waiting out the
// time-out, and the port still closes, once, saying that the job did not get through.
TYPED_TEST(TransportContract, VanishedPrinterFailsAtOnceAndStillCloses) {
  this->OpenAndReach();  // a network printer ends a connection it has taken with an orderly close
  this->transport->SetTimeout(kLongTimeoutMs);
  this->printer.Stop();
  const Stopwatch watch;
  EXPECT_EQ(this->transport->Write("x", 1), TALLYJET_ERR_FAILED);
  char answer[8];
  EXPECT_EQ(this->transport->Read(answer, sizeof answer), TypeParam::kGoneRead);
  EXPECT_EQ(this->transport->Close(), TALLYJET_ERR_FAILED);
  EXPECT_LT(watch.Ms(), kAtOnceMs);
  this->ExpectNothingOpen();
}

// A write that stops part-way leaves half a command at the printer: nothing may follow it, so
// every later write fails, even once the printer takes bytes again, and closing reports the job
// lost. Opened again, the port carries the next job.
TYPED_TEST(TransportContract, LinkBrokenMidWriteStaysBrokenUntilClosed) {
  this->OpenAndReach();
  TypeParam::StopTaking(this->transport.get(), &this->printer);
  const std::string job(TypeParam::kStalledJob, 'x');
  const Stopwatch watch;
  EXPECT_EQ(this->transport->Write(job.data(), static_cast<int>(job.size())), TALLYJET_ERR_FAILED);
  EXPECT_LT(watch.Ms(), kLongTimeoutMs);
  TypeParam::TakeAgain(&this->printer);
  const std::string behind = "BEHIND HALF A COMMAND";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(this->transport->Write(behind.data(), static_cast<int>(behind.size())),
              TALLYJET_ERR_FAILED);
  }
  EXPECT_EQ(this->transport->Close(), TALLYJET_ERR_FAILED);
  ASSERT_EQ(this->Open(), TALLYJET_SUCCESS);
  EXPECT_TRUE(this->WriteAndWaitFor("next job\n"));
  EXPECT_EQ(this->printer.Received().find(behind), std::string::npos);
}

// A printer at its pace (250 mm/s, its buffer filling, a printer's window on TCP) takes a long
// picture band by band; closing waits for the end of it and says it arrived, as it did.
TYPED_TEST(TransportContract, LongJobAtAPrintersPaceArrivesWhole) {
  constexpr int kBands = 30;
  constexpr char kRows = 100;
  const std::string band = std::string{0x1D, 0x76, 0x30, 0x00, 72, 0x00, kRows, 0x00} +
                           std::string(72 * kRows, '\x3C');
  this->printer.SetSpeed(250);
  ASSERT_EQ(this->Open(), TALLYJET_SUCCESS);
  for (int i = 0; i < kBands; ++i) {
    ASSERT_EQ(this->transport->Write(band.data(), static_cast<int>(band.size())),
              TALLYJET_SUCCESS)
        << "band " << i;
  }
  EXPECT_EQ(this->transport->Close(), TALLYJET_SUCCESS);
  EXPECT_TRUE(this->printer.WaitForReceived(band.size() * kBands, kLongTimeoutMs));
  EXPECT_EQ(this->printer.Overruns(), 0);
}

// Opening again lets go of what the last opening held, and so does destroying an open transport.
// Standard input is closed, as a daemon's is, so the first opening gets descriptor 0, which a
// transport must not take for "nothing open".
TYPED_TEST(TransportContract, ReopenAndDestroyReleaseWhatWasHeld) {
  const int savedInput = dup(STDIN_FILENO);
  close(STDIN_FILENO);
  const long idle = this->Held();
  this->OpenAndReach();
  const long open = this->Held();
  EXPECT_GT(open, idle);
  for (int i = 0; i < 3; ++i) this->OpenAndReach();
  EXPECT_EQ(this->Held(), open);
  EXPECT_EQ(this->transport->Close(), TALLYJET_SUCCESS);
  EXPECT_EQ(this->Held(), idle);
  this->OpenAndReach();
  this->transport.reset();
  EXPECT_EQ(this->Held(), idle);
  dup2(savedInput, STDIN_FILENO);
  close(savedInput);
}

// One receipt through the entry points, and one through a printer handle's twins: text, a cut
// and the printer's status.
TYPED_TEST(TransportContract, ReceiptGoesThroughOpenPortAndAPrinterHandle) {
  if (TypeParam::kOpenPortTakesIt) {
    const std::string port = TypeParam::PortName(this->printer);
    ASSERT_EQ(OpenPort(port.c_str(), TypeParam::kBaudRate, 'N', 8, 1), TALLYJET_SUCCESS);
    ExpectReceiptRoundTrip(&this->printer, "receipt\n");
    EXPECT_EQ(ClosePort(), TALLYJET_SUCCESS);
    this->printer.Clear();
  }
  tallyjet_printer* handle = nullptr;
  ASSERT_EQ(TypeParam::OpenHandle(this->printer, &handle), TALLYJET_SUCCESS);
  ExpectReceiptRoundTrip(&this->printer, "handle's receipt\n", handle);
  EXPECT_EQ(tallyjet_close(handle), TALLYJET_SUCCESS);
}

}  // namespace
