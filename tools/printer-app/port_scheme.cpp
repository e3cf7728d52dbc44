#include "port_scheme.h"

#include <glob.h>
#include <pappl/pappl.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

#include "device_node.h"


namespace printer_app {
namespace {

const std::string kPrefix = std::string(kPortScheme) + "://";
const std::string kNetworkPrefix = std::string(kNetworkScheme) + "://";

// socket://HOST[:PORT] as the library's network transport takes it; PAPPL's Add Printer page
// writes the URI with a "/" path, which names nothing and goes.
bool ParseNetworkUri(const std::string& uri, PortAddress* address) {
  std::string name = uri;
  if (name.size() > kNetworkPrefix.size() && name.back() == '/') name.pop_back();
  if (name.size() == kNetworkPrefix.size() || name.find_first_of("/?#", kNetworkPrefix.size()) !=
                                                  std::string::npos) {
    return false;
  }
  *address = PortAddress();
  address->port = name;
  return true;
}

bool ParseBaud(const std::string& value, int* baud) {
  char* end = nullptr;
  errno = 0;
  const long parsed = strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || errno != 0 || parsed < 1 || parsed > INT_MAX) return false;
  *baud = static_cast<int>(parsed);
  return true;
}

// Reads the parameters after '?': baud=N and flow=hardware.
bool ParseParameters(const std::string& query, PortAddress* address) {
  std::istringstream parameters(query);
  std::string parameter;
  while (std::getline(parameters, parameter, '&')) {
    if (parameter.compare(0, 5, "baud=") == 0) {
      if (!ParseBaud(parameter.substr(5), &address->baud)) return false;
    } else if (parameter == "flow=hardware") {
      address->handshake = true;
    } else {
      return false;
    }
  }
  return true;
}

// An opened device of the scheme: its printer handle.
struct PortDevice {
  tallyjet_printer* printer;
};

// A path port must be a printer's device node or a serial line: a regular file, a directory or
// any other node is no printer, and writing jobs to it would overwrite or disturb it.
bool IsPrinterPort(const PortAddress& address) {
  if (address.port == "USB" || address.port.rfind("socket://", 0) == 0) return true;
  return IsPrinterOrSerialNode(address.port.c_str());
}

PortDevice* PortDeviceOf(pappl_device_t* device) {
  return static_cast<PortDevice*>(papplDeviceGetData(device));
}

bool OpenDevice(pappl_device_t* device, const char* uri, const char*) {
  PortAddress address;
  if (!ParsePortUri(uri, &address)) {
    papplDeviceError(device, "Bad device URI \"%s\".", uri);
    return false;
  }
  if (!IsPrinterPort(address)) {
    papplDeviceError(device, "\"%s\" is not a printer or serial device.", address.port.c_str());
    return false;
  }
  tallyjet_printer* printer = nullptr;
  const int rc = tallyjet_open(address.port.c_str(), address.baud, &printer);
  if (rc != TALLYJET_SUCCESS) {
    papplDeviceError(device, "Unable to open \"%s\": %s.", address.port.c_str(),
                     tallyjet_result_name(rc));
    return false;
  }
  papplDeviceSetData(device, new PortDevice{printer});
  return true;
}

void CloseDevice(pappl_device_t* device) {
  PortDevice* port = PortDeviceOf(device);
  if (port == nullptr) return;
  tallyjet_close(port->printer);
  delete port;
  papplDeviceSetData(device, nullptr);
}

ssize_t ReadDevice(pappl_device_t* device, void* buffer, size_t bytes) {
  const int length = bytes > INT_MAX ? INT_MAX : static_cast<int>(bytes);
  const int count =
      tallyjet_get_data(PortDeviceOf(device)->printer, static_cast<char*>(buffer), length);
  return count < 0 ? -1 : count;
}

// What PAPPL writes to the device goes as it is, with nothing in front.
ssize_t WriteDevice(pappl_device_t* device, const void* buffer, size_t bytes) {
  if (bytes > INT_MAX) return -1;
  const int rc = tallyjet_write(PortDeviceOf(device)->printer, static_cast<const char*>(buffer),
                                static_cast<int>(bytes));
  return rc == TALLYJET_SUCCESS ? static_cast<ssize_t>(bytes) : -1;
}

// Offers the device nodes and serial lines present, and the USB printer when it answers.
bool ListDevices(pappl_device_cb_t found, void* data, pappl_deverror_cb_t, void*) {
  struct Kind {
    const char* pattern;
    const char* parameters;
    const char* info;
  };
  const Kind kinds[] = {{"/dev/usb/lp*", "", "printer device node"},
                        {"/dev/ttyUSB*", "?baud=19200", "serial line"},
                        {"/dev/ttyACM*", "?baud=19200", "serial line"}};
  for (const Kind& kind : kinds) {
    glob_t paths{};
    if (glob(kind.pattern, 0, nullptr, &paths) == 0) {
      for (size_t i = 0; i < paths.gl_pathc; ++i) {
        const std::string uri = kPrefix + paths.gl_pathv[i] + kind.parameters;
        const std::string info = std::string("TallyJet ") + kind.info + " " + paths.gl_pathv[i];
        if (found(info.c_str(), uri.c_str(), "", data)) {
          globfree(&paths);
          return true;
        }
      }
    }
    globfree(&paths);
  }
  tallyjet_printer* usb = nullptr;
  if (tallyjet_open("USB", 0, &usb) != TALLYJET_SUCCESS) return false;
  tallyjet_close(usb);
  return found("TallyJet printer on USB", (kPrefix + "USB").c_str(), "", data);
}

}  // namespace

bool ParsePortUri(const std::string& uri, PortAddress* address) {
  if (uri.compare(0, kNetworkPrefix.size(), kNetworkPrefix) == 0) {
    return ParseNetworkUri(uri, address);
  }
  if (uri.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  const std::string rest = uri.substr(kPrefix.size());
  const size_t query = rest.find('?');
  PortAddress parsed;
  parsed.port = rest.substr(0, query);
  if (parsed.port.empty() || (parsed.port != "USB" && parsed.port[0] != '/')) return false;
  if (query != std::string::npos && !ParseParameters(rest.substr(query + 1), &parsed)) {
    return false;
  }
  *address = parsed;
  return true;
}

bool NeedsFillLevelPacing(const std::string& uri) {
  PortAddress address;
  return ParsePortUri(uri, &address) && address.baud != 0 && !address.handshake;
}

tallyjet_printer* PortPrinterOf(pappl_device_t* device, const char* deviceUri) {
  PortAddress address;
  if (!ParsePortUri(deviceUri != nullptr ? deviceUri : "", &address)) return nullptr;
  PortDevice* port = PortDeviceOf(device);
  return port != nullptr ? port->printer : nullptr;
}

void AddPortScheme() {
  papplDeviceAddScheme(kPortScheme, PAPPL_DEVTYPE_CUSTOM_LOCAL, ListDevices, OpenDevice,
                       CloseDevice, ReadDevice, WriteDevice, /*status_cb*/ nullptr,
                       /*id_cb*/ nullptr);
  // Added before PAPPL's own schemes, so that socket:// is ours: PAPPL skips a scheme it holds.
  papplDeviceAddScheme(kNetworkScheme, PAPPL_DEVTYPE_CUSTOM_NETWORK, /*list_cb*/ nullptr,
                       OpenDevice, CloseDevice, ReadDevice, WriteDevice, /*status_cb*/ nullptr,
                       /*id_cb*/ nullptr);
}

}  // namespace printer_app
