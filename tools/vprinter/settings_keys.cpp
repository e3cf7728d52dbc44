#include "settings_keys.h"

#include <cerrno>
#include <cstdlib>

namespace vprinter {
namespace {

enum class Type { Flag, Number, Text };

struct Setting {
  const char* key;
  Type type;
  const char* help;
};

const Setting kSettings[] = {
    {"offline", Type::Flag, "printer off-line (DLE EOT 1 bit 3)"},
    {"paper-near-end", Type::Flag, "paper near its end (DLE EOT 4 bits 2 and 3)"},
    {"paper-out", Type::Flag, "paper end (DLE EOT 4 bits 5 and 6, DLE EOT 2 bit 5)"},
    {"cover-open", Type::Flag, "cover open (DLE EOT 2 bit 2)"},
    {"error", Type::Flag, "error occurred (DLE EOT 2 bit 6)"},
    {"drawer-high", Type::Flag, "drawer connector pin 3 high, a closed drawer (DLE EOT 1 bit 2)"},
    {"extra-status", Type::Number, "the byte answered to DLE EOT 6 (default 0)"},
    {"model-id", Type::Number, "the byte answered to GS I 1 (default 0x20)"},
    {"type-id", Type::Number, "the byte answered to GS I 2 (default 0x02)"},
    {"version-id", Type::Text, "the text answered to GS I 3 (default 1.00)"},
    {"multi-byte", Type::Text,
     "the printer's market, as the multi-byte set of Kanji mode (FS &): gb18030 (default), "
     "big5, or jis for a Japanese model, the only one where FS C chooses JIS or Shift JIS"},
    {"nv-capacity", Type::Number, "bytes of NV graphics memory (default 262144)"},
    {"drain-rate", Type::Number, "bytes per second the receive buffer drains, 0 at once (default)"},
    {"read-rate", Type::Number, "bytes per second read from the line, 0 as fast as they come"},
    {"speed", Type::Number,
     "paper speed in mm/s: lines, feeds and picture rows take their paper's time and the "
     "receive buffer fills (0: at once, the default)"},
    {"paper-length", Type::Number,
     "millimetres of paper on the roll, which runs out while printing; setting it or "
     "paper-out=0 loads a new roll (0: endless, the default)"},
    {"silent", Type::Flag, "answer no query"},
    {"late", Type::Number, "milliseconds to wait before each answer"},
    {"garbage", Type::Flag, "answer every query with its bytes inverted"},
};

const Setting* Find(const std::string& key) {
  for (const Setting& setting : kSettings) {
    if (key == setting.key) return &setting;
  }
  return nullptr;
}

bool ParseFlag(const std::string& value, bool* flag) {
  for (const char* yes : {"1", "true", "yes", "on"}) {
    if (value == yes) {
      *flag = true;
      return true;
    }
  }
  for (const char* no : {"0", "false", "no", "off"}) {
    if (value == no) {
      *flag = false;
      return true;
    }
  }
  return false;
}

bool ParseNumber(const std::string& value, int* number) {
  const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
  const char* digits = value.c_str() + (hex ? 2 : 0);
  char* end = nullptr;
  errno = 0;
  const long parsed = strtol(digits, &end, hex ? 16 : 10);
  if (*digits == '\0' || *end != '\0' || errno != 0 || parsed < 0 || parsed > 0x7FFFFFFF)
    return false;
  *number = static_cast<int>(parsed);
  return true;
}

void SetAnswers(PrinterState::Answers mode, bool on, PrinterState* state) {
  if (on) {
    state->answers = mode;
  } else if (state->answers == mode) {
    state->answers = PrinterState::Answers::Normal;
  }
}

bool* FlagOf(const std::string& key, PrinterState* state) {
  if (key == "offline") return &state->offline;
  if (key == "paper-near-end") return &state->paperNearEnd;
  if (key == "paper-out") return &state->paperEnd;
  if (key == "cover-open") return &state->coverOpen;
  if (key == "error") return &state->error;
  if (key == "drawer-high") return &state->drawerPin3High;
  return nullptr;
}

int* NumberOf(const std::string& key, PrinterState* state, Options* options) {
  if (key == "extra-status") return &state->extraStatus;
  if (key == "model-id") return &state->modelId;
  if (key == "type-id") return &state->typeId;
  if (key == "nv-capacity") return &state->nvCapacity;
  if (key == "drain-rate") return &options->drainBytesPerSecond;
  if (key == "read-rate") return &options->readBytesPerSecond;
  if (key == "speed") return &options->paperSpeed;
  if (key == "paper-length") return &options->paperLength;
  if (key == "late") return &state->answerDelayMs;
  return nullptr;
}

bool ApplyFlag(const std::string& key, bool on, PrinterState* state) {
  if (key == "silent") {
    SetAnswers(PrinterState::Answers::Silent, on, state);
  } else if (key == "garbage") {
    SetAnswers(PrinterState::Answers::Garbage, on, state);
  } else {
    *FlagOf(key, state) = on;
  }
  return true;
}

bool ApplyText(const std::string& key, const std::string& value, PrinterState* state,
               std::string* error) {
  if (key == "version-id") {
    state->versionId = value;
    return true;
  }
  if (value == "gb18030" || value == "big5" || value == "jis") {
    state->multiByteSet = value == "big5" ? "BIG5" : value == "jis" ? kJapaneseModel : "GB18030";
    return true;
  }
  *error = key + " takes gb18030, big5 or jis, not \"" + value + "\"";
  return false;
}

}  // namespace

std::vector<SettingKey> SettingKeys() {
  std::vector<SettingKey> keys;
  for (const Setting& setting : kSettings) {
    const char* value = setting.type == Type::Flag     ? ""
                        : setting.type == Type::Number ? "N"
                                                       : "TEXT";
    keys.push_back({setting.key, setting.type == Type::Flag, value, setting.help});
  }
  return keys;
}

bool ApplySetting(const std::string& key, const std::string& value, PrinterState* state,
                  Options* options, std::string* error) {
  const Setting* setting = Find(key);
  if (setting == nullptr) {
    *error = "unknown setting " + key;
    return false;
  }
  bool on = false;
  int number = 0;
  switch (setting->type) {
    case Type::Flag:
      if (ParseFlag(value, &on)) return ApplyFlag(key, on, state);
      *error = key + " takes 1 or 0, not \"" + value + "\"";
      return false;
    case Type::Number:
      if (ParseNumber(value, &number)) {
        *NumberOf(key, state, options) = number;
        return true;
      }
      *error = key + " takes a number of 0 or more, not \"" + value + "\"";
      return false;
    case Type::Text: return ApplyText(key, value, state, error);
  }
  return false;
}

}  // namespace vprinter
