// Keeps the image library quiet while it decodes a picture: the library prints nothing, but Qt
// reports a broken file with messages, and libpng prints its errors ("libpng error: Read Error")
// straight to standard error.
#ifndef TALLYJET_QUIET_DECODING_H
#define TALLYJET_QUIET_DECODING_H

#include <QtGlobal>
#include <mutex>

class QuietDecoding {
 public:
  // From here on, Qt's messages from this thread are dropped and descriptor 2 is held in a
  // memory file. Message handler and descriptor 2 belong to the whole process: two threads
  // decoding at once (two printers) take turns, so that neither puts back the other's stand-in.
  QuietDecoding();
  // Puts back the message handler and descriptor 2 that were in place, and passes on to it
  // whatever was written meanwhile, except libpng's lines.
  ~QuietDecoding();
  // Whether the image library said the picture being decoded ended before it was whole or its
  // data was damaged.
  bool EndedEarly() const;
  QuietDecoding(const QuietDecoding&) = delete;
  QuietDecoding& operator=(const QuietDecoding&) = delete;

 private:
  std::lock_guard<std::mutex> turn_;
  int savedError_;  // the real descriptor 2, or -1 when it is not being held
  int heldError_;   // the memory file in its place
};

#endif  // TALLYJET_QUIET_DECODING_H
