#include "receipt_options.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace printer_app {
namespace {

constexpr char kCutOption[] = "cut-mode";
constexpr char kFeedOption[] = "feed-before-cut";
constexpr char kDrawerOption[] = "drawer-pulse";
constexpr int kMaxFeed = 255;
constexpr char kAnswerWaitOption[] = "answer-wait";
constexpr int kMaxAnswerWaitMs = 30000;

template <typename Value>
struct Keyword {
  const char* name;
  Value value;
};

// The first keyword of each list is the default.
const Keyword<CutAt> kCutKeywords[] = {
    {"end-of-job", CutAt::kEndOfJob}, {"every-page", CutAt::kEveryPage}, {"never", CutAt::kNever}};
const Keyword<DrawerPulse> kDrawerKeywords[] = {{"never", DrawerPulse::kNever},
                                                {"before-job", DrawerPulse::kBeforeJob},
                                                {"after-job", DrawerPulse::kAfterJob}};

template <typename Value, size_t N>
void ReadKeyword(const char* text, const Keyword<Value> (&keywords)[N], Value* value) {
  if (text == nullptr) return;
  for (const Keyword<Value>& keyword : keywords) {
    if (strcmp(text, keyword.name) == 0) *value = keyword.value;
  }
}

void ReadNumber(const char* text, int most, int* number) {
  if (text == nullptr) return;
  char* end = nullptr;
  const long value = strtol(text, &end, 10);
  if (*text != '\0' && *end == '\0' && value >= 0 && value <= most) {
    *number = static_cast<int>(value);
  }
}

void DeclareRange(ipp_t* attributes, const char* name, int most, int byDefault) {
  ippAddRange(attributes, IPP_TAG_PRINTER, (std::string(name) + "-supported").c_str(), 0, most);
  ippAddInteger(attributes, IPP_TAG_PRINTER, IPP_TAG_INTEGER,
                (std::string(name) + "-default").c_str(), byDefault);
}

template <typename Value, size_t N>
void DeclareKeywords(ipp_t* attributes, const char* name, const Keyword<Value> (&keywords)[N]) {
  const char* names[N];
  for (size_t i = 0; i < N; ++i) names[i] = keywords[i].name;
  ippAddStrings(attributes, IPP_TAG_PRINTER, IPP_CONST_TAG(IPP_TAG_KEYWORD),
                (std::string(name) + "-supported").c_str(), static_cast<int>(N), nullptr, names);
  ippAddString(attributes, IPP_TAG_PRINTER, IPP_CONST_TAG(IPP_TAG_KEYWORD),
               (std::string(name) + "-default").c_str(), nullptr, names[0]);
}

}  // namespace

ReceiptOptions ReadReceiptOptions(pappl_finishings_t finishings, int vendorCount,
                                  cups_option_t* vendor) {
  ReceiptOptions options;
  const int count = vendorCount;
  ReadKeyword(cupsGetOption(kCutOption, count, vendor), kCutKeywords, &options.cut);
  ReadNumber(cupsGetOption(kFeedOption, count, vendor), kMaxFeed, &options.feedBeforeCut);
  ReadKeyword(cupsGetOption(kDrawerOption, count, vendor), kDrawerKeywords, &options.drawer);
  if (finishings & PAPPL_FINISHINGS_TRIM) options.cut = CutAt::kEveryPage;
  return options;
}

void DeclareReceiptOptions(pappl_pr_driver_data_t* data, ipp_t* attributes) {
  data->num_vendor = 4;
  data->vendor[0] = kCutOption;
  data->vendor[1] = kFeedOption;
  data->vendor[2] = kDrawerOption;
  data->vendor[3] = kAnswerWaitOption;
  DeclareKeywords(attributes, kCutOption, kCutKeywords);
  DeclareRange(attributes, kFeedOption, kMaxFeed, ReceiptOptions().feedBeforeCut);
  DeclareKeywords(attributes, kDrawerOption, kDrawerKeywords);
  DeclareRange(attributes, kAnswerWaitOption, kMaxAnswerWaitMs, 0);
}

int AnswerWaitOf(pappl_printer_t* printer) {
  ipp_t* attributes = papplPrinterGetDriverAttributes(printer);
  ipp_attribute_t* wait = ippFindAttribute(
      attributes, (std::string(kAnswerWaitOption) + "-default").c_str(), IPP_TAG_INTEGER);
  const int ms = wait != nullptr ? ippGetInteger(wait, 0) : 0;
  ippDelete(attributes);
  return ms;
}

}  // namespace printer_app
