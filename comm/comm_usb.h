// A printer reached directly over USB bulk transfers through libusb-0.1, loaded at run time.
#ifndef TALLYJET_COMM_USB_H
#define TALLYJET_COMM_USB_H

#include "comm_base.h"

struct usb_dev_handle;
struct usb_device;
struct usb_bus;

class TALLYJET_API CommUsb : public CommBase {
 public:
  // Looks for the vendor identifier configured with TALLYJET_USB_VENDOR_ID and product 0x0010.
  CommUsb();
  // Releases and closes a handle still held; libusb-0.1 stays loaded.
  ~CommUsb() override;

  using CommBase::Open;
  // 1 open with interface 0 claimed; -17 no libusb-0.1; -14 no such device; -9 open failed;
  // -10 configuration failed; -11 claim failed. A handle still held is released and closed
  // first. A kernel driver bound to interface 0 is detached before configuring, when libusb-0.1
  // offers the two kernel-driver functions; libusb-0.1 cannot attach it again.
  int Open(int productId, int vendorId) override;
  // 1 released and closed; -1 closed, but a transfer had failed (the job is incomplete); -4 not
  // open; -12 release failed (still open); -13 close failed.
  int Close() override;
  bool IsOpen() override;
  // One bulk transfer on endpoint 0x02: 1 when all length bytes went, -1 otherwise; -3 for a
  // negative length; -4 when not open. After a transfer failed, -1 until the next Open.
  int Write(const char* data, int length) override;
  // One bulk transfer on endpoint 0x82: the count, or libusb's negative error number; -3 for a
  // negative length; -4 when not open. It waits the read time-out.
  int Read(char* buffer, int length) override;
  // The read time-out (3000 ms, the transfer time-out, until set).
  void SetTimeout(int milliseconds) override;
  int GetDeviceVid() override;
  int GetDevicePid() override;

  // Loads libusb-0.1 and its eleven functions; false (and nothing kept) when any is missing.
  // usb_get_driver_np and usb_detach_kernel_driver_np are looked up too, and may be missing.
  bool LoadLibUsb();
  // Stores the product identifier looked for first and answers 1.
  int ReadDevicePid(int* pid);
  // Drops input the printer sent that nobody read, with bulk reads that wait 1 ms each.
  TALLYJET_INTERNAL void DiscardInput();

 private:
  // Closes handle_ without releasing, forgets it and answers code.
  int Abandon(int code);
  // Releases and closes a held handle, ignoring the answers.
  void Drop();

  usb_dev_handle* handle_;
  bool broken_ = false;  // a transfer failed: the printer may hold part of a command
  int readTimeout_;
  void* library_;
  int productId_;
  int vendorId_;
  usb_dev_handle* (*usb_open)(usb_device* device);
  int (*usb_close)(usb_dev_handle* handle);
  void (*usb_init)();
  int (*usb_find_devices)();
  int (*usb_find_busses)();
  int (*usb_bulk_write)(usb_dev_handle* handle, int endpoint, const char* bytes, int size,
                        int timeout);
  int (*usb_bulk_read)(usb_dev_handle* handle, int endpoint, char* bytes, int size, int timeout);
  usb_bus* (*usb_get_busses)();
  int (*usb_set_configuration)(usb_dev_handle* handle, int configuration);
  int (*usb_claim_interface)(usb_dev_handle* handle, int interface);
  int (*usb_release_interface)(usb_dev_handle* handle, int interface);
  int (*usb_get_driver_np)(usb_dev_handle* handle, int interface, char* name,
                           unsigned int size) = nullptr;
  int (*usb_detach_kernel_driver_np)(usb_dev_handle* handle, int interface) = nullptr;
};

#endif  // TALLYJET_COMM_USB_H
