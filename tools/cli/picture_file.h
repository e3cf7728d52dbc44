// The size of a picture file from its header alone: nothing is decoded, whatever its size.
#ifndef TALLYJET_CLI_PICTURE_FILE_H
#define TALLYJET_CLI_PICTURE_FILE_H

#include <string>

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The size of the picture at path, a regular file; reports and answers false when path is not
// a regular file or not a picture.
bool ReadPictureSize(const std::string& path, PictureSize* size);

#endif  // TALLYJET_CLI_PICTURE_FILE_H
