#include "web_footer.h"

#include <cstdio>

#include "printer_status.h"
#include "shop_words.h"

namespace printer_app {
namespace {

// text as a JavaScript string literal that cannot end the script element it stands in.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '<' || static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// [PAPPL's phrase, the shop's words, 1 when it stops printing], for each state word PAPPL has.
std::string WordsArray(pappl_loc_t* english) {
  std::string array = "[";
  for (size_t i = 0; english != nullptr && i < kStateWordCount; ++i) {
    const StateWords& w = kStateWords[i];
    const char* phrase = papplLocGetString(english, w.key);
    if (phrase == nullptr || std::string(phrase) == w.key) continue;
    array += "[" + Quoted(phrase) + "," + Quoted(w.words) + "," +
             (StopsPrinting(w.reason) ? "1" : "0") + "],";
  }
  return array + "]";
}

// The status line follows the icon: "Idle, 0 jobs, Out of paper.." (the phrase's full stop and
// the line's). Each clause PAPPL words is swapped for the shop's words.
constexpr char kStateScript[] = R"js(
for (const icon of document.querySelectorAll('p > img[src$="/icon-md.png"]')) {
  const line = icon.nextSibling;
  if (!line || line.nodeType !== Node.TEXT_NODE) continue;
  let stops = false;
  const clauses = line.data.replace(/\.$/, '').split(', ').map(clause => {
    const known = stateWords.find(words => words[0] === clause);
    if (!known) return clause;
    stops = stops || known[2] === 1;
    return known[1];
  });
  if (stops) {
    clauses[0] = cannotPrint;
    icon.className = 'stopped';
  }
  line.data = clauses.join(', ').replace(/\.*$/, '.');
}
)js";

// PAPPL writes the lower bounds in inches and the upper ones in millimetres, and the values in
// the unit of the current size's name. The bounds of these papers are whole millimetres; a value
// in inches may come out a hair above the upper bound.
constexpr char kMillimetreScript[] = R"js(
for (const inches of document.querySelectorAll('input[value=in][name$="-custom-units"]')) {
  const box = inches.closest('div[id$="-custom"]');
  for (const field of box.querySelectorAll('input[type=number]')) {
    if (inches.checked) field.value = Math.min(field.value * 25.4, field.max).toFixed(1);
    field.min = Math.round(field.min * 25.4);
  }
  box.querySelector('input[value=mm]').checked = true;
  box.querySelector('label[for="' + inches.id + '"]').remove();
  inches.remove();
}
)js";

// PAPPL's header shows its icon alone: the product's name goes beside it. Its Add Printer page
// checks the network printer's host name in the browser with a pattern that refuses a port,
// which PAPPL itself takes ("192.0.2.7:9100"): the check is left to the server.
constexpr char kHeaderAndFormScript[] = R"js(
for (const home of document.querySelectorAll('div.header a.btn[href="/"]')) {
  home.append(' TallyJet');
}
for (const host of document.querySelectorAll('input[name=hostname][pattern]')) {
  host.removeAttribute('pattern');
  host.placeholder = 'host name or address, and :port when not 9100';
}
)js";

}  // namespace

std::string WebFooter(pappl_loc_t* english) {
  return std::string("TallyJet receipt printer application<script>\n") +
         "for (const map of document.querySelectorAll('iframe#map')) map.remove();\n{\n" +
         "const stateWords = " + WordsArray(english) + ";\n" +
         "const cannotPrint = " + Quoted(kCannotPrint) + ";" + kStateScript + "}" +
         kMillimetreScript + kHeaderAndFormScript + "</script>";
}

void SetWebFooter(pappl_system_t* system) {
  papplSystemSetFooterHTML(system, WebFooter(papplSystemFindLoc(system, "en")).c_str());
}

}  // namespace printer_app
