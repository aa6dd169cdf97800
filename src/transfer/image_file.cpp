#include "transfer/image_file.h"

#include <utility>

#include "device/errors.h"
#include "transfer/file_names.h"

namespace selvarex {

namespace {
ImageFileSeam& Seam() {
  static ImageFileSeam seam;
  return seam;
}
}  // namespace

void SetImageFileSeam(ImageFileSeam seam) { Seam() = std::move(seam); }

ImageWriter::ImageWriter(const std::string& fileName) {
  file_.pubsetbuf(nullptr, 0);
  if (file_.open(PathFromUtf8(fileName), std::ios::out | std::ios::trunc | std::ios::binary) == nullptr)
    throw EFCreateError(ShownFileName(fileName));
}

bool ImageWriter::Append(const std::uint8_t* data, std::uint32_t length) {
  if (Seam() && !Seam()(ImageCall::Append, position_)) return false;
  const std::streamsize written =
      file_.sputn(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  if (written > 0) position_ += written;
  return written == static_cast<std::streamsize>(length);
}

bool ImageWriter::Close() { return file_.close() != nullptr; }

ImageReader::ImageReader(const std::string& fileName) {
  file_.pubsetbuf(nullptr, 0);
  if (file_.open(PathFromUtf8(fileName), std::ios::in | std::ios::binary) == nullptr)
    throw EFOpenError(ShownFileName(fileName));
  const std::streamoff end = file_.pubseekoff(0, std::ios::end, std::ios::in);
  size_ = end < 0 ? 0 : static_cast<std::int64_t>(end);
}

std::uint32_t ImageReader::ReadAt(std::int64_t offset, std::uint8_t* data, std::uint32_t length) {
  if (Seam() && !Seam()(ImageCall::Read, offset)) return 0;
  if (file_.pubseekpos(static_cast<std::streamoff>(offset), std::ios::in) !=
      std::streampos(static_cast<std::streamoff>(offset)))
    return 0;
  const std::streamsize got = file_.sgetn(reinterpret_cast<char*>(data), static_cast<std::streamsize>(length));
  return got > 0 ? static_cast<std::uint32_t>(got) : 0;
}

}  // namespace selvarex
