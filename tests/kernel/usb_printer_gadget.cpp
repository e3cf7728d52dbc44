// usb-printer-gadget VENDOR PRODUCT LINE: a USB printer (identifiers in hexadecimal) on the
// device side of dummy_hcd, through gadgetfs on /dev/gadget, until the program is stopped. One
// bidirectional printer-class interface with bulk OUT 0x02 and IN 0x82 carries the data to and
// from LINE, a virtual printer's pty. Every control request but SET_CONFIGURATION is stalled.
#include <fcntl.h>
#include <linux/usb/ch9.h>
#include <linux/usb/gadgetfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "fd_io.h"

namespace {

constexpr uint8_t kOutAddress = 0x02;
constexpr uint8_t kInAddress = 0x82;
constexpr char kOutFile[] = "ep2out-bulk";
constexpr char kInFile[] = "ep2in-bulk";
constexpr uint8_t kConfigurationValue = 1;

void Put16(std::string* out, unsigned value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>(value >> 8));
}

std::string Endpoint(uint8_t address, unsigned maxPacket) {
  std::string d = {USB_DT_ENDPOINT_SIZE, USB_DT_ENDPOINT, static_cast<char>(address),
                   USB_ENDPOINT_XFER_BULK};
  Put16(&d, maxPacket);
  d.push_back(0);  // bInterval
  return d;
}

// Configuration, interface and both endpoints at one speed's packet size.
std::string Configuration(unsigned maxPacket) {
  const unsigned total = USB_DT_CONFIG_SIZE + USB_DT_INTERFACE_SIZE + 2 * USB_DT_ENDPOINT_SIZE;
  std::string d = {USB_DT_CONFIG_SIZE, USB_DT_CONFIG};
  Put16(&d, total);
  d += {1, static_cast<char>(kConfigurationValue), 0, static_cast<char>(0xC0), 1};
  d += {USB_DT_INTERFACE_SIZE, USB_DT_INTERFACE, 0, 0, 2, USB_CLASS_PRINTER, 1, 2, 0};
  return d + Endpoint(kOutAddress, maxPacket) + Endpoint(kInAddress, maxPacket);
}

std::string Device(unsigned vendor, unsigned product) {
  std::string d = {USB_DT_DEVICE_SIZE, USB_DT_DEVICE};
  Put16(&d, 0x0200);
  d += {0, 0, 0, 64};  // class per interface, ep0 packet size
  Put16(&d, vendor);
  Put16(&d, product);
  Put16(&d, 0x0100);
  d += {0, 0, 0, 1};  // no strings, one configuration
  return d;
}

// What ep0 takes first: tag 0, the full- and high-speed configurations, the device.
std::string DeviceDescriptors(unsigned vendor, unsigned product) {
  return std::string(4, '\0') + Configuration(64) + Configuration(512) + Device(vendor, product);
}

// What an endpoint file takes: tag 1 and its full- and high-speed descriptors.
std::string EndpointDescriptors(uint8_t address) {
  return std::string{1, 0, 0, 0} + Endpoint(address, 64) + Endpoint(address, 512);
}

// Copies from one descriptor to the other until either fails (a disconnect ends an endpoint's
// transfers); then closes the endpoint's descriptor.
void Carry(int from, int to, int endpoint) {
  char buffer[16384];
  for (;;) {
    const int n = fdio::ReadFirst(from, buffer, sizeof buffer, fdio::kNoDeadline);
    if (n < 0 || !fdio::WriteAll(to, buffer, n, fdio::kNoDeadline, fdio::kNoStallLimit)) break;
  }
  close(endpoint);
}

class Gadget {
 public:
  explicit Gadget(int line) : line_(line) {}

  // Configures ep0 and serves its events until it fails.
  int Serve(unsigned vendor, unsigned product) {
    ep0_ = open((directory_ + "/dummy_udc").c_str(), O_RDWR);
    const std::string descriptors = DeviceDescriptors(vendor, product);
    if (ep0_ < 0 || write(ep0_, descriptors.data(), descriptors.size()) < 0) {
      perror("usb-printer-gadget: ep0");
      return 1;
    }
    usb_gadgetfs_event events[5];
    for (;;) {
      const ssize_t n = read(ep0_, events, sizeof events);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        perror("usb-printer-gadget: events");
        return 1;
      }
      for (ssize_t i = 0; i < n / static_cast<ssize_t>(sizeof events[0]); ++i) {
        if (events[i].type == GADGETFS_SETUP) Setup(events[i].u.setup);
      }
    }
  }

 private:
  // Reading ep0 acknowledges an OUT request and stalls an IN one; writing it stalls an OUT one.
  void Setup(const usb_ctrlrequest& request) {
    const bool configure =
        request.bRequestType == USB_DIR_OUT && request.bRequest == USB_REQ_SET_CONFIGURATION;
    if (configure && (request.wValue & 0xFF) == kConfigurationValue) StartCarrying();
    if (configure || (request.bRequestType & USB_DIR_IN) != 0) {
      (void)!read(ep0_, nullptr, 0);
    } else {
      (void)!write(ep0_, nullptr, 0);
    }
  }

  // Opens and configures both endpoints once the host chose the configuration, unless they
  // still carry data from an earlier one.
  void StartCarrying() {
    if (carrying_) return;
    const int out = OpenEndpoint(kOutFile, kOutAddress);
    const int in = OpenEndpoint(kInFile, kInAddress);
    if (out < 0 || in < 0) {
      perror("usb-printer-gadget: endpoints");
      exit(1);
    }
    carrying_ = true;
    std::thread([this, out] { Carry(out, line_, out); }).detach();
    std::thread([this, in] { Carry(line_, in, in); }).detach();
  }

  int OpenEndpoint(const char* name, uint8_t address) {
    const int fd = open((directory_ + "/" + name).c_str(), O_RDWR);
    const std::string descriptors = EndpointDescriptors(address);
    if (fd >= 0 && write(fd, descriptors.data(), descriptors.size()) < 0) {
      close(fd);
      return -1;
    }
    return fd;
  }

  const std::string directory_ = "/dev/gadget";
  const int line_;
  int ep0_ = -1;
  bool carrying_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fputs("usage: usb-printer-gadget VENDOR PRODUCT LINE\n", stderr);
    return 2;
  }
  const int line = open(argv[3], O_RDWR | O_NOCTTY);
  if (line < 0) {
    perror(argv[3]);
    return 1;
  }
  Gadget gadget(line);
  return gadget.Serve(strtoul(argv[1], nullptr, 16), strtoul(argv[2], nullptr, 16));
}
