#include "job_name.h"

#include <cstring>
#include <string>

namespace printer_app {

void ShortenJobName(ipp_t* request) {
  ipp_attribute_t* name = ippFindAttribute(request, "job-name", IPP_TAG_NAME);
  const char* value = ippGetString(name, 0, nullptr);
  const char* slash = value != nullptr ? strrchr(value, '/') : nullptr;
  if (slash == nullptr || slash[1] == '\0') return;
  const std::string last(slash + 1);  // ippSetString frees the old value
  ippSetString(request, &name, 0, last.c_str());
}

}  // namespace printer_app
