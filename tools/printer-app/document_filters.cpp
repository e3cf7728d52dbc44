#include "document_filters.h"

#include <cstring>
#include <vector>

namespace printer_app {
namespace {

std::vector<const char*>& Formats() {
  static std::vector<const char*> formats;
  return formats;
}

}  // namespace

void AddDocumentFilter(pappl_system_t* system, const char* format, pappl_mime_filter_cb_t filter) {
  papplSystemAddMIMEFilter(system, format, kPrinterFormat, filter, nullptr);
  Formats().push_back(format);
}

bool HasDocumentFilter(const char* format) {
  for (const char* known : Formats()) {
    if (format != nullptr && strcmp(format, known) == 0) return true;
  }
  return false;
}

}  // namespace printer_app
