#include "comm_usb.h"

#include <dlfcn.h>
// Only for the layout of the published structures usb_bus, usb_device and its descriptor;
// libusb-0.1 itself is loaded at run time and never linked. usb.h also declares a function
// named usb_device, which hides the structure's plain name here: write struct usb_device.
#include <usb.h>

#include <algorithm>
#include <mutex>

#include "usb_ids.h"

namespace {

constexpr char kLibUsbName[] = "libusb-0.1.so.4";
constexpr int kConfiguration = 1;
constexpr int kInterface = 0;
constexpr int kEndpointOut = 0x02;
constexpr int kEndpointIn = 0x82;
constexpr int kTransferTimeoutMs = 3000;
// Dropping pending input reads at most this many chunks, each waiting this long for its data:
// the shortest wait that libusb-0.1 offers (0 would wait for ever).
constexpr int kDiscardTimeoutMs = 1;
constexpr int kDiscardChunk = 512;
constexpr int kDiscardChunks = 128;

// libusb-0.1 keeps one bus and device list for the whole process, which usb_find_busses and
// usb_find_devices rebuild: two printers opening at once from two threads take turns.
std::mutex discovery;

// Looks name up in library and stores it in slot; false when it is missing.
template <typename Function>
bool Bind(void* library, const char* name, Function*& slot) {
  void* symbol = dlsym(library, name);
  slot = reinterpret_cast<Function*>(symbol);
  return symbol != nullptr;
}

using GetDriverFunction = decltype(::usb_get_driver_np);
using DetachFunction = decltype(::usb_detach_kernel_driver_np);

// A kernel driver bound to the interface (usblp on most systems) makes usb_set_configuration
// and usb_claim_interface fail with EBUSY, so it is detached when usb_get_driver_np names one.
// Without either function nothing is tried. A failed detach goes unreported: the configuration
// step fails next and answers for it.
void DetachKernelDriver(usb_dev_handle* handle, GetDriverFunction* getDriver,
                        DetachFunction* detach) {
  if (getDriver == nullptr || detach == nullptr) return;
  char name[32];
  if (getDriver(handle, kInterface, name, sizeof name) == 0) detach(handle, kInterface);
}

// The first device with these identifiers: busses in list order, and on each its devices in list
// order. The descriptor's 16-bit fields compare as unsigned values, so an identifier outside 0 to
// 0xFFFF matches nothing.
struct usb_device* FindDevice(struct usb_bus* busses, int vendorId, int productId) {
  for (struct usb_bus* bus = busses; bus != nullptr; bus = bus->next) {
    for (struct usb_device* device = bus->devices; device != nullptr; device = device->next) {
      if (device->descriptor.idVendor == vendorId && device->descriptor.idProduct == productId) {
        return device;
      }
    }
  }
  return nullptr;
}

}  // namespace

// The vendor identifier is the value configured with TALLYJET_USB_VENDOR_ID (see usb_ids.h);
// OpenPort passes the same value.
CommUsb::CommUsb()
    : handle_(nullptr),
      readTimeout_(kTransferTimeoutMs),
      library_(nullptr),
      productId_(kUsbProductId),
      vendorId_(kUsbVendorId) {
  ReadDevicePid(&productId_);
}

// Frees the printer for the next user.
CommUsb::~CommUsb() { Drop(); }

// The eleven entry points, looked up in this order; a lookup stops at the first one missing.
// After a failure nothing is kept, so the next Open tries the whole load again. The two
// kernel-driver functions are optional: a slot stays null when its function is missing.
bool CommUsb::LoadLibUsb() {
  library_ = dlopen(kLibUsbName, RTLD_LAZY);
  if (library_ == nullptr) return false;
  const bool bound = Bind(library_, "usb_open", usb_open) &&
                     Bind(library_, "usb_close", usb_close) &&
                     Bind(library_, "usb_init", usb_init) &&
                     Bind(library_, "usb_find_devices", usb_find_devices) &&
                     Bind(library_, "usb_find_busses", usb_find_busses) &&
                     Bind(library_, "usb_bulk_write", usb_bulk_write) &&
                     Bind(library_, "usb_bulk_read", usb_bulk_read) &&
                     Bind(library_, "usb_get_busses", usb_get_busses) &&
                     Bind(library_, "usb_set_configuration", usb_set_configuration) &&
                     Bind(library_, "usb_claim_interface", usb_claim_interface) &&
                     Bind(library_, "usb_release_interface", usb_release_interface);
  if (bound) {
    Bind(library_, "usb_get_driver_np", usb_get_driver_np);
    Bind(library_, "usb_detach_kernel_driver_np", usb_detach_kernel_driver_np);
  } else {
    dlclose(library_);
    library_ = nullptr;
    usb_get_driver_np = nullptr;
    usb_detach_kernel_driver_np = nullptr;
  }
  return bound;
}

int CommUsb::ReadDevicePid(int* pid) {
  *pid = kUsbProductId;
  return TALLYJET_SUCCESS;
}

// The bus and device lists are refreshed on every Open, so a printer attached since the last
// attempt is found. Only the first matching device is tried.
int CommUsb::Open(int productId, int vendorId) {
  if (library_ == nullptr && !LoadLibUsb()) return TALLYJET_ERR_USB_LIBRARY;
  Drop();
  broken_ = false;
  vendorId_ = vendorId;
  productId_ = productId;
  const std::lock_guard<std::mutex> turn(discovery);
  usb_init();
  usb_find_busses();
  usb_find_devices();
  struct usb_device* device = FindDevice(usb_get_busses(), vendorId_, productId_);
  if (device == nullptr) return TALLYJET_ERR_USB_NOT_FOUND;
  handle_ = usb_open(device);
  if (handle_ == nullptr) return TALLYJET_ERR_USB_OPEN;
  DetachKernelDriver(handle_, usb_get_driver_np, usb_detach_kernel_driver_np);
  if (usb_set_configuration(handle_, kConfiguration) < 0) {
    return Abandon(TALLYJET_ERR_USB_CONFIGURATION);
  }
  if (usb_claim_interface(handle_, kInterface) < 0) return Abandon(TALLYJET_ERR_USB_CLAIM);
  return TALLYJET_SUCCESS;
}

int CommUsb::Abandon(int code) {
  usb_close(handle_);
  handle_ = nullptr;
  return code;
}

void CommUsb::Drop() {
  if (handle_ == nullptr) return;
  usb_release_interface(handle_, kInterface);
  Abandon(TALLYJET_SUCCESS);
}

// A failed release keeps the device open and claimed, so Close may be called again. Once
// usb_close has been called the handle is gone, whatever it answered.
int CommUsb::Close() {
  if (handle_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (usb_release_interface(handle_, kInterface) < 0) return TALLYJET_ERR_USB_RELEASE;
  const int closed = usb_close(handle_);
  handle_ = nullptr;
  if (closed < 0) return TALLYJET_ERR_CLOSE;
  return broken_ ? TALLYJET_ERR_FAILED : TALLYJET_SUCCESS;
}

bool CommUsb::IsOpen() { return handle_ != nullptr; }

// One bulk transfer for the whole buffer: a command is never split here. libusb-0.1 does not
// tell how much of a failed transfer went, so any failed transfer leaves the link broken: the
// printer may hold part of it, and the job misses the rest.
int CommUsb::Write(const char* data, int length) {
  if (handle_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  if (broken_) return TALLYJET_ERR_FAILED;
  const int sent = usb_bulk_write(handle_, kEndpointOut, data, length, kTransferTimeoutMs);
  if (sent == length) return TALLYJET_SUCCESS;
  broken_ = true;
  return TALLYJET_ERR_FAILED;
}

// libusb's negative error number (a time-out among them) goes to the caller unchanged.
int CommUsb::Read(char* buffer, int length) {
  if (handle_ == nullptr) return TALLYJET_ERR_PORT_NOT_OPEN;
  if (length < 0) return TALLYJET_ERR_INVALID_ARGUMENT;
  return usb_bulk_read(handle_, kEndpointIn, buffer, length, readTimeout_);
}

// 0 would mean no time-out at all to libusb.
void CommUsb::SetTimeout(int milliseconds) { readTimeout_ = std::max(1, milliseconds); }

int CommUsb::GetDeviceVid() { return vendorId_; }

int CommUsb::GetDevicePid() { return productId_; }

void CommUsb::DiscardInput() {
  if (handle_ == nullptr) return;
  char chunk[kDiscardChunk];
  for (int i = 0; i < kDiscardChunks; ++i) {
    if (usb_bulk_read(handle_, kEndpointIn, chunk, kDiscardChunk, kDiscardTimeoutMs) <= 0) return;
  }
}
