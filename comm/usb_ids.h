// USB identifiers of the printer family. The vendor identifier is set when the library is
// configured (TALLYJET_USB_VENDOR_ID); the two product identifiers are fixed.
#ifndef TALLYJET_USB_IDS_H
#define TALLYJET_USB_IDS_H

#ifndef TALLYJET_USB_VENDOR_ID
#define TALLYJET_USB_VENDOR_ID 0x1209
#endif

constexpr int kUsbVendorId = TALLYJET_USB_VENDOR_ID;
constexpr int kUsbProductId = 0x0010;
// Printers with this product identifier take the operation-mode command and a sixth status byte.
constexpr int kUsbExtendedProductId = 0x0020;

#endif  // TALLYJET_USB_IDS_H
