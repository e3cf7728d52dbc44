#include "png_output.h"

#include <vector>

namespace vprinter {

std::string PiecePath(const std::string& path, int n) {
  const std::string suffix = ".png";
  const bool hasSuffix = path.size() > suffix.size() &&
                         path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
  const std::string stem = hasSuffix ? path.substr(0, path.size() - suffix.size()) : path;
  return stem + "-" + std::to_string(n) + suffix;
}

bool WritePng(const PaperRoll& roll, const std::string& path, bool perCut, std::string* error) {
  const std::vector<QImage> pieces = roll.Pieces(perCut);
  for (size_t i = 0; i < pieces.size(); ++i) {
    const std::string file = perCut ? PiecePath(path, static_cast<int>(i) + 1) : path;
    if (!pieces[i].save(QString::fromStdString(file), "PNG")) {
      *error = file + ": cannot write the PNG file";
      return false;
    }
  }
  return true;
}

}  // namespace vprinter
