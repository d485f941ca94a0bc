// Picture::Open, OpenFromApp and Save. The toolkit's readers measure every
// file and decode the formats other than JPEG; JPEG goes through
// libjpeg-turbo both ways (ImageCodecParts.h).

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <map>

#include "framework/Dialogs.h"
#include "framework/ImageCodecParts.h"
#include "framework/QtImage.h"
#include "framework/ResourceFolder.h"
#include "framework/Runtime.h"
#include "framework/TestSeams.h"

namespace {
using namespace image_codec;

// No image this editor can take needs a larger file; a larger one is still
// measured first, so that a huge picture is refused for its size.
constexpr qint64 kMaxFileBytes = qint64{1} << 30;
constexpr double kInchesPerMetre = 1.0 / 0.0254;

// The toolkit's readers refuse images above a global allocation limit, by
// default too low for the largest picture allowed: raised for one decode.
class AllocationLimit {
 public:
  explicit AllocationLimit(std::int64_t bytes) : previous_(QImageReader::allocationLimit()) {
    QImageReader::setAllocationLimit(static_cast<int>(bytes >> 20) + 1);
  }
  ~AllocationLimit() { QImageReader::setAllocationLimit(previous_); }
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;

 private:
  int previous_;
};

// Pictures from the toolkit's readers, with the resolution they record.
Ref<Picture> FromToolkit(const QImage& image) {
  Ref<Picture> picture = fw::FromQImage(image);
  if (picture && image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
    picture->SetHorizontalResolution(static_cast<std::int64_t>(image.dotsPerMeterX() / kInchesPerMetre + 0.5));
    picture->SetVerticalResolution(static_cast<std::int64_t>(image.dotsPerMeterY() / kInchesPerMetre + 0.5));
  }
  return picture;
}

// --- Opening ------------------------------------------------------------------

Orientation FromTransformation(QImageIOHandler::Transformations t) {
  return {t.testFlag(QImageIOHandler::TransformationMirror), t.testFlag(QImageIOHandler::TransformationFlip),
          t.testFlag(QImageIOHandler::TransformationRotate90)};
}

// The size a viewer shows: a quarter turn swaps the sides.
Ref<Picture> UndecodedAsShown(std::int64_t w, std::int64_t h, Orientation o) {
  return o.rotate90 ? Picture::Undecoded(h, w) : Picture::Undecoded(w, h);
}

Ref<Picture> OpenJpeg(const QByteArray& bytes, Orientation o) {
  JpegImage jpeg = DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()), Picture::kMaxDecodedSide);
  if (jpeg.status == JpegImage::Status::TooLarge) return UndecodedAsShown(jpeg.width, jpeg.height, o);
  if (jpeg.status != JpegImage::Status::Decoded) return nullptr;
  std::shared_ptr<PixelBuffer> pixels = Orient(std::move(jpeg.pixels), o);
  if (!pixels) return nullptr;
  auto picture = MakeRef<Picture>(std::move(pixels), false);
  if (jpeg.horizontalResolution > 0 && jpeg.verticalResolution > 0) {
    // recorded as across the stored pixels; a quarter turn swaps them too
    picture->SetHorizontalResolution(o.rotate90 ? jpeg.verticalResolution : jpeg.horizontalResolution);
    picture->SetVerticalResolution(o.rotate90 ? jpeg.horizontalResolution : jpeg.verticalResolution);
  }
  return picture;
}

Ref<Picture> OpenHeif(const QByteArray& bytes) {
  HeifImage heif = DecodeHeif(reinterpret_cast<const unsigned char*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()), Picture::kMaxDecodedSide);
  if (heif.status == HeifImage::Status::TooLarge) return Picture::Undecoded(heif.width, heif.height);
  if (heif.status != HeifImage::Status::Decoded) return nullptr;
  return MakeRef<Picture>(std::move(heif.pixels), heif.alpha);
}

Ref<Picture> OpenWithToolkit(const QByteArray& bytes, const QByteArray& format, QSize declared) {
  QBuffer device;
  device.setData(bytes);
  if (!device.open(QIODevice::ReadOnly)) return nullptr;
  QImageReader reader(&device, format);
  reader.setAutoTransform(true);
  // A known size bounds the allocation; room for any pixel format of it.
  constexpr std::int64_t kMax = Picture::kMaxDecodedSide;
  AllocationLimit limit(declared.isValid() ? std::int64_t{declared.width()} * declared.height() * 16
                                           : kMax * kMax * 4);
  QImage image;
  if (!reader.read(&image) || image.isNull()) return nullptr;
  if (image.width() > kMax || image.height() > kMax) return Picture::Undecoded(image.width(), image.height());
  return FromToolkit(image);
}

// The format as the toolkit picks it for a file: the one its name suggests
// when the content bears it out, otherwise the one the content shows.
QByteArray ToolkitFormat(QBuffer& device, const QString& name, Container container) {
  const QByteArray suffix = QFileInfo(name).suffix().toLower().toLatin1();
  if (!suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix)) {
    QImageReader named(&device, suffix);
    const bool bears = named.canRead();
    device.seek(0);
    if (bears) return suffix;
  }
  QImageReader byContent(&device);
  const QByteArray format = byContent.format();
  device.seek(0);
  // The toolkit's icon reader decodes the icons that its own look at the
  // content turns down.
  if (format.isEmpty() && container == Container::Ico) return "ico";
  return format;
}

// The file's bytes: read into memory of the codec's own (UnfilledBytes), or,
// for a file larger than any picture allowed needs, mapped (to be measured only).
class FileBytes {
 public:
  bool Load(QFile& file, qint64 size) {
    if (size > kMaxFileBytes) {
      const uchar* mapped = file.map(0, size);
      if (!mapped) return false;
      bytes_ = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size);
      return true;
    }
    storage_ = UnfilledBytes(static_cast<std::size_t>(size));
    if (!storage_ || file.read(reinterpret_cast<char*>(storage_.get()), size) != size) return false;
    bytes_ = QByteArray::fromRawData(reinterpret_cast<const char*>(storage_.get()), size);
    return true;
  }
  const QByteArray& Bytes() const { return bytes_; }
  const unsigned char* Data() const { return reinterpret_cast<const unsigned char*>(bytes_.constData()); }
  std::size_t Size() const { return static_cast<std::size_t>(bytes_.size()); }

 private:
  std::unique_ptr<unsigned char[]> storage_;
  QByteArray bytes_;
};

Ref<Picture> OpenPath(const std::string& path) {
  const QString name = QString::fromStdString(path);
  const QFileInfo info(name);
  if (!info.isFile() || !info.isReadable() || info.size() <= 0) return nullptr;
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  FileBytes contents;
  if (!contents.Load(file, info.size())) return nullptr;

  const Container container = ContainerOf(contents.Data(), contents.Size());
  // DecodeHeif walks the boxes itself before libheif sees them.
  if (container == Container::Heif) return info.size() > kMaxFileBytes ? nullptr : OpenHeif(contents.Bytes());
  // Before any reader: every length in the file's framing lies inside it.
  if (!FramingHolds(container, contents.Data(), contents.Size())) return nullptr;

  // Then the header: the format, the size and the recorded orientation,
  // without decoding any pixels.
  QBuffer device;
  device.setData(contents.Bytes());
  if (!device.open(QIODevice::ReadOnly)) return nullptr;
  const QByteArray format = ToolkitFormat(device, name, container);
  if (format.isEmpty()) return nullptr;
  QImageReader header(&device, format);
  const QSize declared = header.size();
  const Orientation o = FromTransformation(header.transformation());
  if (declared.isValid()) {
    if (declared.width() < 1 || declared.height() < 1) return nullptr;
    if (declared.width() > Picture::kMaxDecodedSide || declared.height() > Picture::kMaxDecodedSide) {
      return UndecodedAsShown(declared.width(), declared.height(), o);
    }
  }

  if (info.size() > kMaxFileBytes) return nullptr;
  const QByteArray& bytes = contents.Bytes();
  if (format == "jpeg" || format == "jpg") return OpenJpeg(bytes, o);
  if (!LooksComplete(format.toStdString(), contents.Data(), contents.Size())) return nullptr;
  return OpenWithToolkit(bytes, format, declared);
}

// --- Named pictures ------------------------------------------------------------

std::map<std::string, int> openFromAppCounts;

// --- Saving ----------------------------------------------------------------------

// How many of `size` bytes a write may put out: all of them, unless a test
// makes saves fail part-way.
std::size_t WritableBytes(std::size_t size) {
  std::int64_t& left = fw::Seams().saveBytesLeft;
  if (left < 0) return size;
  const std::size_t n = std::min(size, static_cast<std::size_t>(left));
  left -= static_cast<std::int64_t>(n);
  return n;
}

bool WritePng(const Picture& picture, QIODevice& out) {
  QImage image = fw::ToQImage(picture);
  if (image.isNull()) return false;
  if (!picture.HasAlphaChannel()) image.convertTo(QImage::Format_RGBX8888);  // written without alpha
  image.setDotsPerMeterX(static_cast<int>(static_cast<double>(picture.HorizontalResolution()) * kInchesPerMetre + 0.5));
  image.setDotsPerMeterY(static_cast<int>(static_cast<double>(picture.VerticalResolution()) * kInchesPerMetre + 0.5));
  QImageWriter writer(&out, "png");  // lossless: the quality does not apply
  return writer.write(image);
}

}  // namespace

Ref<Picture> Picture::Open(const FolderItem& file) { return OpenPath(file.NativePath()); }

Ref<Picture> Picture::OpenFromApp(const std::string& name) {
  ++openFromAppCounts[name];
  const std::string base = fw::ResourceFolder() + "/" + name;
  Ref<Picture> picture = OpenPath(base + ".png");
  if (!picture || !picture->IsDecoded()) return nullptr;
  if (Ref<Picture> twice = OpenPath(base + "@2x.png"); twice && twice->IsDecoded()) {
    picture->SetHighResolution(std::move(twice));
  }
  return picture;
}

// QSaveFile writes beside the target, syncs and renames over it on commit,
// keeping the target's permissions and following a link to it; a cancelled
// or failed write removes its temporary file.
bool Picture::Save(const FolderItem& file, int format, int quality) const {
  if (!pixels_ || (format != SaveAsJPEG && format != SaveAsPNG)) return false;
  QSaveFile out(QString::fromStdString(file.NativePath()));
  if (!out.open(QIODevice::WriteOnly)) return false;
  bool written;
  if (format == SaveAsJPEG) {
    written = EncodeJpeg(*pixels_, quality, horizontalResolution_, verticalResolution_,
                         [&out](const unsigned char* bytes, std::size_t size) {
                           const std::size_t writable = WritableBytes(size);
                           const auto n = static_cast<qint64>(writable);
                           return out.write(reinterpret_cast<const char*>(bytes), n) == n && writable == size;
                         });
  } else {
    written = WritePng(*this, out);
  }
  if (!written) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}

void TestSeams::FailSaveWritesAfter(std::int64_t bytes) { fw::Seams().saveBytesLeft = bytes; }

int TestSeams::OpenFromAppCount(const std::string& name) {
  const auto it = openFromAppCounts.find(name);
  return it == openFromAppCounts.end() ? 0 : it->second;
}
