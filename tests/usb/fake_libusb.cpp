// A stand-in for libusb-0.1. Like it, it publishes the bus list only in usb_find_busses and
// usb_find_devices, takes only configuration 1, interface 0 and endpoints 0x02 and 0x82, answers
// negative errno values, and a bound kernel driver keeps the interface busy until detached.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <usb.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_libusb.h"

struct usb_dev_handle {
  int device;
  bool claimed;
};

namespace {

struct Device {
  ~Device() {
    if (link >= 0) close(link);
  }
  FakeUsbDevice behaviour;
  int bus;
  int link = -1;  // descriptor of the linked byte stream
  std::string written;
  struct usb_device published = {};
};

struct State {
  std::vector<std::unique_ptr<struct usb_bus>> busses;
  std::vector<std::unique_ptr<Device>> devices;
  std::vector<std::unique_ptr<usb_dev_handle>> handles;
  struct usb_bus* head = nullptr;
  FakeUsbCounters counters{0, 0, 0, -1, 0};
};

State& state() {
  static State instance;
  return instance;
}

Device& DeviceOf(usb_dev_handle* handle) { return *state().devices[handle->device]; }

}  // namespace

// Declared in usb.h and fake_libusb.h; C linkage turns any mismatch into a compile error.
extern "C" {

void fake_usb_reset(void) { state() = State(); }

int fake_usb_add_bus(void) {
  State& s = state();
  s.busses.push_back(std::make_unique<struct usb_bus>());  // zeroed
  return static_cast<int>(s.busses.size()) - 1;
}

int fake_usb_add_device(int bus, const FakeUsbDevice* behaviour) {
  State& s = state();
  auto device = std::make_unique<Device>();
  device->behaviour = *behaviour;
  device->bus = bus;
  device->published.descriptor.idVendor = static_cast<uint16_t>(behaviour->vendorId);
  device->published.descriptor.idProduct = static_cast<uint16_t>(behaviour->productId);
  device->published.devnum = static_cast<uint8_t>(s.devices.size());  // the device's index
  s.devices.push_back(std::move(device));
  return static_cast<int>(s.devices.size()) - 1;
}

void fake_usb_change_device(int index, const FakeUsbDevice* behaviour) {
  state().devices[index]->behaviour = *behaviour;
}

int fake_usb_link(int index, const char* path) {
  const int fd = open(path, O_RDWR | O_NOCTTY);
  state().devices[index]->link = fd;
  return fd < 0 ? -1 : 0;
}

int fake_usb_written(int index, char* bytes, int capacity) {
  const std::string& written = state().devices[index]->written;
  const int count = std::min(capacity, static_cast<int>(written.size()));
  memcpy(bytes, written.data(), static_cast<size_t>(count));
  return count;
}

FakeUsbCounters fake_usb_counters(void) { return state().counters; }

void usb_init(void) {}

int usb_find_busses(void) {
  State& s = state();
  s.head = nullptr;
  for (size_t i = s.busses.size(); i-- > 0;) {
    s.busses[i]->next = s.head;
    s.busses[i]->devices = nullptr;
    s.head = s.busses[i].get();
  }
  return static_cast<int>(s.busses.size());
}

int usb_find_devices(void) {
  State& s = state();
  for (size_t i = s.devices.size(); i-- > 0;) {
    Device& device = *s.devices[i];
    struct usb_bus* bus = s.busses[device.bus].get();
    device.published.next = bus->devices;
    device.published.bus = bus;
    bus->devices = &device.published;
  }
  return static_cast<int>(s.devices.size());
}

struct usb_bus* usb_get_busses(void) { return state().head; }

usb_dev_handle* usb_open(struct usb_device* published) {
  State& s = state();
  const int index = published->devnum;
  s.counters.lastOpened = index;
  if (s.devices[index]->behaviour.refuseOpen) return nullptr;
  s.handles.push_back(std::make_unique<usb_dev_handle>(usb_dev_handle{index, false}));
  ++s.counters.handlesOpen;
  return s.handles.back().get();
}

int usb_set_configuration(usb_dev_handle* handle, int configuration) {
  if (configuration != 1) return -EINVAL;
  const FakeUsbDevice& behaviour = DeviceOf(handle).behaviour;
  return behaviour.kernelDriverBound ? -EBUSY : behaviour.configurationError;
}

int usb_claim_interface(usb_dev_handle* handle, int interface) {
  if (interface != 0) return -EINVAL;
  const FakeUsbDevice& behaviour = DeviceOf(handle).behaviour;
  const int error = behaviour.kernelDriverBound ? -EBUSY : behaviour.claimError;
  if (error != 0) return error;
  handle->claimed = true;
  ++state().counters.claimed;
  return 0;
}

#ifndef FAKE_USB_WITHOUT_RELEASE
int usb_release_interface(usb_dev_handle* handle, int interface) {
  if (interface != 0 || !handle->claimed) return -EINVAL;
  const int error = DeviceOf(handle).behaviour.releaseError;
  if (error != 0) return error;
  handle->claimed = false;
  --state().counters.claimed;
  return 0;
}
#endif

// The handle is freed whatever the answer, as in libusb-0.1.
int usb_close(usb_dev_handle* handle) {
  State& s = state();
  const int error = DeviceOf(handle).behaviour.closeError;
  if (handle->claimed) --s.counters.claimed;
  --s.counters.handlesOpen;
  for (auto it = s.handles.begin(); it != s.handles.end(); ++it) {
    if (it->get() == handle) {
      s.handles.erase(it);
      break;
    }
  }
  return error;
}

#ifndef FAKE_USB_WITHOUT_DETACH
// libusb-0.1 asks the kernel, which answers ENODATA when no driver is bound.
int usb_get_driver_np(usb_dev_handle* handle, int interface, char* name, unsigned int size) {
  if (interface != 0) return -EINVAL;
  if (!DeviceOf(handle).behaviour.kernelDriverBound) return -ENODATA;
  snprintf(name, size, "usblp");
  return 0;
}

int usb_detach_kernel_driver_np(usb_dev_handle* handle, int interface) {
  ++state().counters.detaches;
  FakeUsbDevice& behaviour = DeviceOf(handle).behaviour;
  if (interface != 0) return -EINVAL;
  if (!behaviour.kernelDriverBound) return -ENODATA;
  if (behaviour.detachError != 0) return behaviour.detachError;
  behaviour.kernelDriverBound = 0;
  return 0;
}
#endif

int usb_bulk_write(usb_dev_handle* handle, int endpoint, const char* bytes, int size, int) {
  ++state().counters.bulkWrites;
  Device& device = DeviceOf(handle);
  if (endpoint != 0x02 || !handle->claimed) return -ENOENT;
  const int taken = std::max(0, size - device.behaviour.writeShortBy);
  device.written.append(bytes, static_cast<size_t>(taken));
  // The link blocks until the stream has taken every byte, or fails once it has hung up.
  if (device.link >= 0 && write(device.link, bytes, static_cast<size_t>(taken)) != taken) {
    return -ENODEV;
  }
  return taken;
}

int usb_bulk_read(usb_dev_handle* handle, int endpoint, char* bytes, int size,
                         int timeout) {
  Device& device = DeviceOf(handle);
  if (endpoint != 0x82 || !handle->claimed) return -ENOENT;
  if (device.behaviour.readError != 0) return device.behaviour.readError;
  // libusb-0.1 reports a time-out as -ETIMEDOUT, and a stream that has hung up (a printer
  // unplugged) as -ENODEV.
  pollfd entry{device.link, POLLIN, 0};
  if (device.link < 0 || poll(&entry, 1, timeout) <= 0) return -ETIMEDOUT;
  const ssize_t got = read(device.link, bytes, static_cast<size_t>(size));
  return got > 0 ? static_cast<int>(got) : -ENODEV;
}

}  // extern "C"
