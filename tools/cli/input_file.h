// The bytes of a file named on the command line, "-" for standard input.
#ifndef TALLYJET_CLI_INPUT_FILE_H
#define TALLYJET_CLI_INPUT_FILE_H

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "failure.h"

// Reads all of path into bytes; reports and answers false when it cannot.
inline bool ReadInput(const std::string& path, std::string* bytes) {
  std::ifstream file;
  if (path != "-") {
    file.open(path, std::ios::binary);
    if (!file) {
      Complain("cannot read " + path);
      return false;
    }
  }
  std::istream& in = path == "-" ? std::cin : file;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    Complain("reading " + (path == "-" ? std::string("standard input") : path) + " failed");
    return false;
  }
  return true;
}

#endif  // TALLYJET_CLI_INPUT_FILE_H
