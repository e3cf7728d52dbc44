// Files named on the command line: regular files only (or "-" for standard input where text is
// read), read in pieces so that memory stays flat whatever their length.
#ifndef TALLYJET_CLI_INPUT_FILE_H
#define TALLYJET_CLI_INPUT_FILE_H

#include <cstddef>
#include <functional>
#include <string>

// Whether path names a regular file that can be opened for reading; otherwise reports why
// ("is a directory", "is a device", "is a FIFO", what the system says) and answers false.
// Nothing waits: a FIFO without a writer is refused at once.
bool CheckRegularFile(const std::string& path);

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens path, a regular file, or standard input for "-"; reports and answers false when it
  // cannot, or when path names anything but a regular file.
  bool Open(const std::string& path);
  // Hands the file to use in pieces until its end; false after reporting a read failure, or as
  // soon as use answers false (use has reported why).
  bool ReadPieces(const std::function<bool(const char*, size_t)>& use);

 private:
  std::string name_;
  int fd_ = -1;
};

#endif  // TALLYJET_CLI_INPUT_FILE_H
