// NAND image files: raw 135168-byte blocks, no header. Unbuffered, so a
// block goes to or comes from the disk in one call and every result is seen.
// Names are UTF-8 (see file_names.h).
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

namespace selvarex {

// The file a dump is saved to, created or emptied when opened.
class ImageWriter {
 public:
  // Throws EFCreateError when the file cannot be created.
  explicit ImageWriter(const std::string& fileName);
  ~ImageWriter() = default;  // the filebuf closes itself on every way out
  ImageWriter(const ImageWriter&) = delete;
  ImageWriter& operator=(const ImageWriter&) = delete;

  // Appends the bytes; false unless all of them were written.
  bool Append(const std::uint8_t* data, std::uint32_t length);
  // False when the file could not be closed cleanly.
  bool Close();
  // Bytes written so far.
  std::int64_t Position() const { return position_; }

 private:
  std::filebuf file_;
  std::int64_t position_ = 0;
};

// The file a dump is restored from, opened for reading only; it is read at
// the offsets of the NAND addresses being written.
class ImageReader {
 public:
  // Throws EFOpenError when the file cannot be opened.
  explicit ImageReader(const std::string& fileName);
  ImageReader(const ImageReader&) = delete;
  ImageReader& operator=(const ImageReader&) = delete;

  // Reads up to length bytes from offset; returns how many were read.
  std::uint32_t ReadAt(std::int64_t offset, std::uint8_t* data, std::uint32_t length);
  // The file's length, taken when it was opened.
  std::int64_t Size() const { return size_; }

 private:
  std::filebuf file_;
  std::int64_t size_ = 0;
};

// Tests stand in for a slow or failing disk: the seam runs on the thread that
// makes each file call, right before it, with the call's file position;
// false fails the call. Set it only while no process runs; empty: the disk.
enum class ImageCall { Append, Read };
using ImageFileSeam = std::function<bool(ImageCall call, std::int64_t position)>;
void SetImageFileSeam(ImageFileSeam seam);

}  // namespace selvarex
