#include "markup_document.h"

#include <glib.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "code_pages.h"

namespace markup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The UTF-8 form of U+0000 to U+00FF, which \xNN names.
std::string Latin1(int code) {
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
}

// The length of the UTF-8 character that starts at text[at].
size_t CharLength(const std::string& text, size_t at) {
  size_t length = 1;
  while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

// Reads the escape at text[at] (a backslash): the character it stands for goes to out, an
// invalid one is dropped with what follows it; answers where reading goes on. newline is what
// \n makes; literals are the characters a backslash makes plain.
size_t ReadEscape(const std::string& text, size_t at, const char* literals, std::string* out,
                  bool* lineBreak) {
  *lineBreak = false;
  if (at + 1 >= text.size()) return text.size();
  const char next = text[at + 1];
  if (next == 'n') {
    *lineBreak = true;
    return at + 2;
  }
  if (next == 'x') {
    const int high = at + 2 < text.size() ? HexValue(text[at + 2]) : -1;
    const int low = at + 3 < text.size() ? HexValue(text[at + 3]) : -1;
    if (high >= 0 && low >= 0) out->append(Latin1(high * 16 + low));
    return std::min(text.size(), at + 4);
  }
  if (std::string(literals).find(next) != std::string::npos) {
    out->push_back(next);
    return at + 2;
  }
  return at + 1 + CharLength(text, at + 1);
}

// Splits text at the separator where no backslash escapes it.
std::vector<std::string> SplitUnescaped(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\\' && at + 1 < text.size()) {
      parts.back() += text.substr(at, 2);
      ++at;
    } else if (text[at] == separator) {
      parts.emplace_back();
    } else {
      parts.back() += text[at];
    }
  }
  return parts;
}

// Where text holds a brace that no backslash escapes.
std::vector<size_t> Braces(const std::string& text) {
  std::vector<size_t> braces;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\\') {
      ++at;
    } else if (text[at] == '{' || text[at] == '}') {
      braces.push_back(at);
    }
  }
  return braces;
}

// Text of a column as tokens: ~ is a space, _ " ` and runs of ^ switch decorations, \n ends the
// row, control characters are dropped.
std::vector<Token> Tokenize(const std::string& text) {
  std::vector<Token> tokens;
  std::string characters;
  auto mark = [&](Token::Kind kind, int size) {
    tokens.push_back(Token{Token::kText, characters, 0});
    characters.clear();
    tokens.push_back(Token{kind, "", size});
  };
  for (size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (c == '\\') {
      bool lineBreak = false;
      std::string escaped;
      at = ReadEscape(text, at, "\\|{}-=_\"`^~", &escaped, &lineBreak);
      if (lineBreak) mark(Token::kBreak, 0);
      const unsigned char code = escaped.size() == 1 ? static_cast<unsigned char>(escaped[0]) : 0x20;
      if (code >= 0x20 && code != 0x7F) characters += escaped;
      continue;
    }
    if (c == '^') {
      const size_t end = text.find_first_not_of('^', at);
      const size_t count = (end == std::string::npos ? text.size() : end) - at;
      mark(Token::kSize, static_cast<int>(std::min<size_t>(count, 7)));
      at += count;
      continue;
    }
    ++at;
    if (c == '_') {
      mark(Token::kUnderline, 0);
    } else if (c == '"') {
      mark(Token::kEmphasis, 0);
    } else if (c == '`') {
      mark(Token::kInvert, 0);
    } else if (c == '~') {
      characters += ' ';
    } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
      characters += c;
    }
  }
  tokens.push_back(Token{Token::kText, characters, 0});
  return tokens;
}

// A property value with its escapes read: \n is a line end, \; \| \{ \} \\ are plain.
std::string Unescape(const std::string& value) {
  std::string out;
  for (size_t at = 0; at < value.size();) {
    if (value[at] != '\\') {
      out += value[at++];
      continue;
    }
    bool lineBreak = false;
    at = ReadEscape(value, at, "\\|{};", &out, &lineBreak);
    if (lineBreak) out += '\n';
  }
  return out;
}

std::string FullKey(const std::string& key) {
  static const struct {
    const char* abbreviation;
    const char* key;
  } kAbbreviations[] = {{"a", "align"}, {"b", "border"},  {"c", "code"},    {"i", "image"},
                        {"o", "option"}, {"t", "text"},   {"w", "width"},   {"x", "command"},
                        {"_", "comment"}};
  for (const auto& entry : kAbbreviations) {
    if (key == entry.abbreviation) return entry.key;
  }
  return key;
}

struct Member {
  std::string key;
  std::string value;
};

// key: value, the key a name, the value not empty. False for anything else.
bool ReadMember(const std::string& source, Member* member) {
  const std::string text = Trim(source);
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  const std::string key = Trim(text.substr(0, colon));
  const std::string value = Trim(text.substr(colon + 1));
  const bool name = !key.empty() && !std::isdigit(static_cast<unsigned char>(key[0])) &&
                    std::all_of(key.begin(), key.end(), [](char c) {
                      return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                    });
  if (!name || value.empty()) return false;
  *member = Member{FullKey(key), Unescape(value)};
  return true;
}

// Words separated by commas or runs of blanks; two commas in a row make an empty word.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words(1);
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == ',') {
      words.emplace_back();
    } else if (IsBlank(text[at])) {
      while (at + 1 < text.size() && IsBlank(text[at + 1])) ++at;
      words.emplace_back();
    } else {
      words.back() += text[at];
    }
  }
  return words;
}

bool IsNumber(const std::string& word) {
  return !word.empty() && word.size() < 9 &&
         std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The first number among words within [low, high], or fallback.
int FirstInRange(const std::vector<std::string>& words, int low, int high, int fallback) {
  for (const std::string& word : words) {
    if (IsNumber(word) && std::stoi(word) >= low && std::stoi(word) <= high) return std::stoi(word);
  }
  return fallback;
}

CodeOptions ReadOptions(const std::string& value) {
  static const char* const kTypes[] = {"upc",     "ean", "jan",    "code39", "itf",
                                       "codabar", "nw7", "code93", "code128", "qrcode"};
  const std::vector<std::string> words = Words(Lower(value));
  CodeOptions options;
  for (const std::string& word : words) {
    if (std::find(std::begin(kTypes), std::end(kTypes), word) != std::end(kTypes)) {
      options.type = word;
      break;
    }
  }
  options.moduleWidth = FirstInRange(words, 2, 4, 2);
  options.height = FirstInRange(words, 24, 240, 72);
  options.hri = std::find(words.begin(), words.end(), "hri") != words.end();
  options.cell = FirstInRange(words, 3, 8, 3);
  for (const std::string& word : words) {
    if (word.size() == 1 && std::string("lmqh").find(word[0]) != std::string::npos) {
      options.level = word[0];
      break;
    }
  }
  return options;
}

int ReadBorder(const std::string& value) {
  const std::string word = Lower(value);
  if (word == "line") return -1;
  if (word == "none") return 0;
  if (IsNumber(word) && std::stoi(word) <= 2) return std::stoi(word);
  return 1;
}

std::vector<int> ReadWidths(const std::string& value) {
  const std::vector<std::string> words = Words(Lower(value));
  std::vector<int> widths;
  if (std::find(words.begin(), words.end(), "auto") != words.end()) return widths;
  for (const std::string& word : words) {
    widths.push_back(word == "*" ? -1 : IsNumber(word) ? std::min(std::stoi(word), 9999) : 0);
  }
  return widths;
}

int ReadAlign(const std::string& value) {
  const std::string word = Lower(value);
  return word == "left" ? 0 : word == "right" ? 2 : 1;
}

// The base64 text of an image, cleaned of anything else and padded to whole quads.
std::string CleanBase64(const std::string& value) {
  std::string clean;
  for (char c : value.substr(0, value.find('='))) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/') clean += c;
  }
  switch (clean.size() % 4) {
    case 1: clean.pop_back(); break;
    case 2: clean += "=="; break;
    case 3: clean += "="; break;
    default: break;
  }
  return clean;
}

// Applies the members of a property line that stands alone to the state and the line.
void ApplyProperty(const std::vector<Member>& members, DocumentState* state, Line* line) {
  for (const Member& member : members) {
    const std::string& value = member.value;
    if (member.key == "text") {
      state->wrap = Lower(value) != "nowrap";
    } else if (member.key == "border") {
      const int previous = state->border;
      state->border = ReadBorder(value);
      if (previous >= 0 && state->border < 0) line->rules = Rules::kStart;
      if (previous < 0 && state->border >= 0) line->rules = Rules::kStop;
    } else if (member.key == "width") {
      state->widths = ReadWidths(value);
    } else if (member.key == "align") {
      state->align = ReadAlign(value);
    } else if (member.key == "option") {
      state->options = ReadOptions(value);
    }
  }
  // The code and the image come after the settings of the same line, whatever their order.
  for (const Member& member : members) {
    if (member.key == "code") {
      line->kind = Line::kCode;
      line->code = member.value;
      line->options = state->options;
    } else if (member.key == "image") {
      line->kind = Line::kImage;
      line->image = CleanBase64(member.value);
    }
  }
}

bool ReadProperty(const std::string& element, std::vector<Member>* members) {
  for (const std::string& part : SplitUnescaped(element.substr(1, element.size() - 2), ';')) {
    if (Trim(part).empty()) continue;
    Member member;
    if (!ReadMember(part, &member)) return false;
    members->push_back(member);
  }
  return true;
}

// A property: braces around the whole element and none inside that a backslash leaves.
bool IsProperty(const std::string& element) {
  const std::vector<size_t> braces = Braces(element);
  return braces.size() == 2 && braces[0] == 0 && element[0] == '{' &&
         braces[1] == element.size() - 1 && element.back() == '}';
}

bool IsRule(const std::string& element, char c) {
  return !element.empty() && element.find_first_not_of(c) == std::string::npos;
}

// The line's columns as written: a column pressed against a '|' aligns to it, so a first column
// that touches its '|' aligns right and a last column that touches its '|' aligns left. A '|'
// at either end of the line only marks that alignment.
std::vector<std::string> SplitColumns(const std::string& text) {
  std::vector<std::string> columns = SplitUnescaped(text, '|');
  if (columns.size() > 1) {
    std::string& first = columns.front();
    if (!first.empty() && !IsBlank(first.back())) first.insert(0, " ");
    std::string& last = columns.back();
    if (!last.empty() && !IsBlank(last.front())) last += ' ';
    if (columns.front().empty()) columns.erase(columns.begin());
  }
  if (columns.size() > 1 && columns.back().empty()) columns.pop_back();
  return columns;
}

int ColumnAlign(const std::string& column) {
  if (column.empty()) return 1;
  return 1 + (IsBlank(column.front()) ? 1 : 0) - (IsBlank(column.back()) ? 1 : 0);
}

// The width a text column takes from the width property: columns past its list are hidden.
int ColumnWidth(const DocumentState& state, size_t index) {
  if (state.widths.empty()) return -1;
  return index < state.widths.size() ? state.widths[index] : 0;
}

// What a rule, code or picture spans when every column has a fixed width: the columns and the
// borders between them.
int Span(const DocumentState& state, int border) {
  int sum = 0, count = 0;
  for (int width : state.widths) {
    if (width < 0) return -1;
    if (width > 0) sum += width, ++count;
  }
  if (count == 0) return -1;
  return sum + (border < 0 ? count + 1 : (count - 1) * border);
}

}  // namespace

bool ParseLine(const std::string& source, DocumentState* state, Line* line) {
  *line = Line{};
  const std::vector<std::string> columns = SplitColumns(Trim(source));
  bool allText = true;
  for (size_t index = 0; index < columns.size(); ++index) {
    const std::string element = Trim(columns[index]);
    const bool single = columns.size() == 1;
    if (IsProperty(element)) {
      std::vector<Member> members;
      if (!ReadProperty(element, &members)) return false;
      if (single) {
        line->align = ColumnAlign(columns[index]);
        ApplyProperty(members, state, line);
      }
      allText = false;
    } else if (!Braces(element).empty()) {
      return false;
    } else if (single && (IsRule(element, '-') || IsRule(element, '='))) {
      line->kind = element[0] == '-' ? Line::kRule : Line::kCut;
      allText = false;
    } else {
      line->columns.push_back(
          Column{ColumnAlign(columns[index]), Tokenize(element), ColumnWidth(*state, index)});
    }
  }
  line->wrap = state->wrap;
  line->border = state->border;
  line->lineAlign = state->align;
  line->span = Span(*state, line->border);
  if (!allText) {
    line->columns.clear();
    return true;
  }
  line->kind = Line::kText;
  // With widths set, missing columns are empty ones.
  while (!state->widths.empty() && line->columns.size() < state->widths.size()) {
    line->columns.push_back(Column{1, {Token{}}, state->widths[line->columns.size()]});
  }
  return true;
}

bool ParseDocument(const std::string& document, std::vector<Line>* lines) {
  std::string text = document;
  text::MakePrintable(&text);
  std::unique_ptr<gchar, decltype(&g_free)> composed(
      g_utf8_normalize(text.data(), static_cast<gssize>(text.size()), G_NORMALIZE_NFC), &g_free);
  if (composed == nullptr) return false;
  text = composed.get();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  DocumentState state;
  lines->clear();
  // The line end of the last line ends it: it starts no empty line after it.
  for (size_t start = 0; start < text.size() || start == 0;) {
    const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    Line line;
    if (!ParseLine(text.substr(start, end - start), &state, &line)) return false;
    lines->push_back(line);
    if (end == text.size()) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return true;
}

}  // namespace markup
