// A zero-filled heap buffer released when it goes out of scope, for command and text buffers
// whose size depends on the data. Allocation failure is reported, never thrown.
#ifndef TALLYJET_HEAP_BUFFER_H
#define TALLYJET_HEAP_BUFFER_H

#include <cstddef>
#include <cstdlib>

class HeapBuffer {
 public:
  explicit HeapBuffer(size_t size) : data_(static_cast<char*>(calloc(size == 0 ? 1 : size, 1))) {}
  ~HeapBuffer() { free(data_); }
  HeapBuffer(const HeapBuffer&) = delete;
  HeapBuffer& operator=(const HeapBuffer&) = delete;

  bool ok() const { return data_ != nullptr; }
  char* data() { return data_; }
  unsigned char* bytes() { return reinterpret_cast<unsigned char*>(data_); }

 private:
  char* data_;
};

// a + b as an int, or false when the sum overflows or either is negative.
inline bool AddSize(int a, int b, int* sum) {
  return a >= 0 && b >= 0 && !__builtin_add_overflow(a, b, sum);
}

// a * b as an int, or false when the product overflows or either is negative.
inline bool MultiplySize(int a, int b, int* product) {
  return a >= 0 && b >= 0 && !__builtin_mul_overflow(a, b, product);
}

#endif  // TALLYJET_HEAP_BUFFER_H
