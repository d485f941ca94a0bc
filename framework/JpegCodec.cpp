// libjpeg-turbo called directly. Errors leave libjpeg by longjmp, so the
// functions that call setjmp keep only trivially destructible locals; what
// must be freed lives in the job objects of their callers.

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include "framework/Blend.h"
#include "framework/ImageCodecParts.h"

namespace image_codec {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (damaged or missing data, which the decoder fills in) go nowhere.
void Quiet(j_common_ptr, int) {}
void Silent(j_common_ptr) {}

void InstallErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = Quiet;
  err.pub.output_message = Silent;
}

// --- Decoding ----------------------------------------------------------------

// A file of more scans than any encoder writes costs a pass over the whole
// picture per scan: the scans after these are left out, as if the file ended.
constexpr int kMaxScans = 500;

// Called before each step of reading the file: how far the decoder had read
// when the step began. A step that fails (a damaged marker between two scans)
// ends the decode, which is then run again on the bytes up to there.
struct Progress {
  jpeg_progress_mgr pub;
  const unsigned char* data;
  std::size_t size;
  std::size_t consumed = 0;
  bool recorded = false;
};

void OnProgress(j_common_ptr common) {
  auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  auto* p = reinterpret_cast<Progress*>(common->progress);
  if (cinfo->input_scan_number > kMaxScans) OnError(common);
  const auto next = reinterpret_cast<std::uintptr_t>(cinfo->src->next_input_byte);
  const auto start = reinterpret_cast<std::uintptr_t>(p->data);
  // Past the end the source hands out an end marker of its own.
  p->consumed = next >= start && next - start <= p->size ? next - start : p->size;
  p->recorded = true;
}

// The bytes to decode again: up to where the failed step began, without a
// marker that the previous scan had already read into (so that the decoder
// sees the file end there, instead of reading the marker without its segment).
std::size_t RetryLength(const unsigned char* data, std::size_t consumed) {
  std::size_t n = consumed;
  if (n >= 2 && data[n - 2] == 0xFF && data[n - 1] != 0x00 && data[n - 1] != 0xFF) n -= 2;
  while (n > 0 && data[n - 1] == 0xFF) --n;
  return n;
}

struct DecodeJob {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  Progress progress;
  JpegImage result;
};

// CMYK as Adobe writes it (inverted), to RGB in place.
void CmykRowToRgb(Color* row, std::int64_t width) {
  for (std::int64_t x = 0; x < width; ++x) {
    const int c = row[x].red, m = row[x].green, y = row[x].blue, k = row[x].alpha;
    row[x] = Color{static_cast<std::uint8_t>((c * k + 127) / 255),
                   static_cast<std::uint8_t>((m * k + 127) / 255),
                   static_cast<std::uint8_t>((y * k + 127) / 255), 0};
  }
}

void MakeOpaque(Color* row, std::int64_t width) {
  for (std::int64_t x = 0; x < width; ++x) row[x].alpha = 0;
}

// Whatever the decoder makes of the file, short or damaged as it may be: it
// fills what the file does not give (the rest of a cut scan mid-grey, the
// coefficients of scans it never got as zero). Fails only without a frame
// header and a scan, or when the decoder stops with an error.
bool RunDecode(DecodeJob& job, const unsigned char* data, std::size_t size, std::int64_t maxSide) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  cinfo.err = &job.err.pub;
  InstallErrors(job.err);
  if (setjmp(job.err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  job.progress.pub.progress_monitor = OnProgress;
  job.progress.data = data;
  job.progress.size = size;
  cinfo.progress = &job.progress.pub;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  job.result.width = cinfo.image_width;
  job.result.height = cinfo.image_height;
  if (cinfo.saw_JFIF_marker && cinfo.density_unit != 0) {
    // 1: dots per inch, 2: dots per centimetre
    const double perInch = cinfo.density_unit == 2 ? 2.54 : 1.0;
    job.result.horizontalResolution = static_cast<std::int64_t>(cinfo.X_density * perInch + 0.5);
    job.result.verticalResolution = static_cast<std::int64_t>(cinfo.Y_density * perInch + 0.5);
  }
  if (job.result.width > maxSide || job.result.height > maxSide) {
    job.result.status = JpegImage::Status::TooLarge;
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
  cinfo.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&cinfo);
  const std::int64_t w = cinfo.output_width, h = cinfo.output_height;
  job.result.pixels = UnfilledBuffer(w, h);
  if (!job.result.pixels || cinfo.output_components != 4) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  // Every row is written here, in order, or the decode fails: no pixel of the
  // unfilled buffer is ever shown.
  Color* pixels = job.result.pixels->pixels.get();
  while (cinfo.output_scanline < cinfo.output_height) {
    Color* row = pixels + static_cast<std::int64_t>(cinfo.output_scanline) * w;
    JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row)};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) {
      jpeg_destroy_decompress(&cinfo);
      return false;
    }
    if (cmyk) {
      CmykRowToRgb(row, w);
    } else {
      MakeOpaque(row, w);
    }
  }
  // What follows the last row (more markers, the end marker, trailing bytes)
  // cannot change the picture: not read.
  jpeg_destroy_decompress(&cinfo);
  job.result.width = w;
  job.result.height = h;
  job.result.status = JpegImage::Status::Decoded;
  return true;
}

// --- Encoding ----------------------------------------------------------------

struct Destination {
  jpeg_destination_mgr pub;
  const ByteSink* sink;
  JOCTET buffer[1 << 16];
};

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Destination*>(cinfo->dest);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = sizeof d->buffer;
}

boolean EmptyOutput(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Destination*>(cinfo->dest);
  if (!(*d->sink)(d->buffer, sizeof d->buffer)) ERREXIT(cinfo, JERR_FILE_WRITE);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = sizeof d->buffer;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<Destination*>(cinfo->dest);
  const std::size_t used = sizeof d->buffer - d->pub.free_in_buffer;
  if (used > 0 && !(*d->sink)(d->buffer, used)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

struct EncodeJob {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  Destination dest;
  std::unique_ptr<Color[]> row;  // one row flattened onto white
};

// True when no pixel of the row lets anything show through.
bool RowOpaque(const Color* row, std::int64_t width) {
  unsigned any = 0;
  for (std::int64_t x = 0; x < width; ++x) any |= row[x].alpha;
  return any == 0;
}

// Source-over onto white; opaque pixels keep their bytes.
void FlattenRow(const Color* src, Color* dst, std::int64_t width) {
  for (std::int64_t x = 0; x < width; ++x) {
    const unsigned a = src[x].alpha, o = 255 - a;
    dst[x] = Color{static_cast<std::uint8_t>(fw::Div255(src[x].red * o + 255 * a)),
                   static_cast<std::uint8_t>(fw::Div255(src[x].green * o + 255 * a)),
                   static_cast<std::uint8_t>(fw::Div255(src[x].blue * o + 255 * a)), 0};
  }
}

unsigned Density(std::int64_t resolution) {
  return static_cast<unsigned>(resolution < 1 ? 1 : (resolution > 65535 ? 65535 : resolution));
}

bool RunEncode(EncodeJob& job, const PixelBuffer& pixels, int quality, std::int64_t hres,
               std::int64_t vres) {
  jpeg_compress_struct& cinfo = job.cinfo;
  cinfo.err = &job.err.pub;
  InstallErrors(job.err);
  if (setjmp(job.err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  job.dest.pub.init_destination = InitDestination;
  job.dest.pub.empty_output_buffer = EmptyOutput;
  job.dest.pub.term_destination = TermDestination;
  cinfo.dest = &job.dest.pub;

  cinfo.image_width = static_cast<JDIMENSION>(pixels.width);
  cinfo.image_height = static_cast<JDIMENSION>(pixels.height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_RGBX;  // the byte order of Color
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality < 1 ? 1 : (quality > 100 ? 100 : quality), TRUE);
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;  // no chroma subsampling
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  cinfo.optimize_coding = FALSE;
  cinfo.dct_method = JDCT_ISLOW;
  cinfo.density_unit = 1;  // dots per inch
  cinfo.X_density = static_cast<UINT16>(Density(hres));
  cinfo.Y_density = static_cast<UINT16>(Density(vres));
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    // An opaque row goes to the encoder as it is: flattening would give the
    // same bytes, and the encoder ignores the fourth one. It only reads rows.
    Color* row = pixels.pixels.get() + static_cast<std::int64_t>(cinfo.next_scanline) * pixels.width;
    if (!RowOpaque(row, pixels.width)) {
      FlattenRow(row, job.row.get(), pixels.width);
      row = job.row.get();
    }
    JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(row)};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

JpegImage DecodeJpeg(const unsigned char* data, std::size_t size, std::int64_t maxSide) {
  // Each retry decodes fewer bytes, so this ends; a few are plenty, since a
  // retry stops before the step that failed.
  for (int attempt = 0; attempt < 4; ++attempt) {
    auto job = std::make_unique<DecodeJob>();
    if (RunDecode(*job, data, size, maxSide)) return std::move(job->result);
    if (job->result.status == JpegImage::Status::TooLarge) return std::move(job->result);  // no pixels
    const std::size_t shorter = job->progress.recorded ? RetryLength(data, job->progress.consumed) : 0;
    if (shorter == 0 || shorter >= size) break;
    size = shorter;
  }
  return JpegImage{};
}

bool EncodeJpeg(const PixelBuffer& pixels, int quality, std::int64_t horizontalResolution,
                std::int64_t verticalResolution, const ByteSink& sink) {
  if (pixels.width < 1 || pixels.height < 1 || pixels.width > JPEG_MAX_DIMENSION ||
      pixels.height > JPEG_MAX_DIMENSION) {
    return false;
  }
  auto job = std::make_unique<EncodeJob>();
  job->dest.sink = &sink;
  job->row.reset(new Color[static_cast<std::size_t>(pixels.width)]);
  return RunEncode(*job, pixels, quality, horizontalResolution, verticalResolution);
}

}  // namespace image_codec
