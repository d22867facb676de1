#include "platform/png_stream.h"

#include <libdeflate.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tamrisk {
namespace {

enum Filter : uchar { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };
constexpr int kFilterCount = 5;

uchar paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  return static_cast<uchar>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// One row through one filter; prev is a row of zeros above the first.
void filter_row(Filter filter, const uchar* cur, const uchar* prev, int n, int bpp, uchar* out) {
  const int left = std::min(bpp, n);
  switch (filter) {
    case kNone:
      std::memcpy(out, cur, static_cast<size_t>(n));
      break;
    case kSub:
      std::memcpy(out, cur, static_cast<size_t>(left));
      for (int i = bpp; i < n; ++i) {
        out[i] = static_cast<uchar>(cur[i] - cur[i - bpp]);
      }
      break;
    case kUp:
      for (int i = 0; i < n; ++i) {
        out[i] = static_cast<uchar>(cur[i] - prev[i]);
      }
      break;
    case kAverage:
      for (int i = 0; i < left; ++i) {
        out[i] = static_cast<uchar>(cur[i] - (prev[i] >> 1));
      }
      for (int i = bpp; i < n; ++i) {
        out[i] = static_cast<uchar>(cur[i] - ((cur[i - bpp] + prev[i]) >> 1));
      }
      break;
    case kPaeth:
      for (int i = 0; i < left; ++i) {
        out[i] = static_cast<uchar>(cur[i] - prev[i]);
      }
      for (int i = bpp; i < n; ++i) {
        out[i] = static_cast<uchar>(cur[i] - paeth(cur[i - bpp], prev[i], prev[i - bpp]));
      }
      break;
  }
}

// Estimates how many bits a row's bytes need: their entropy (order 0). It
// follows what deflate makes of a row more closely than the usual sum of
// absolute values (measured on drawn, dithered and photographed frames).
class EntropyEstimate {
 public:
  explicit EntropyEstimate(int n) : weight_(static_cast<size_t>(n) + 1), row_(n) {
    // weight_[c] = c log2 c: the entropy in bits is n log2 n minus the sum
    // of these over the byte values' counts.
    for (int c = 1; c <= n; ++c) {
      weight_[static_cast<size_t>(c)] = static_cast<float>(c * std::log2(c));
    }
  }

  float bits(const uchar* bytes) const {
    // Four tallies, summed at the end: runs of one byte value would
    // otherwise make every count wait for the one before.
    std::array<std::array<int, 256>, 4> counts{};
    int i = 0;
    for (; i + 4 <= row_; i += 4) {
      ++counts[0][bytes[i]];
      ++counts[1][bytes[i + 1]];
      ++counts[2][bytes[i + 2]];
      ++counts[3][bytes[i + 3]];
    }
    for (; i < row_; ++i) {
      ++counts[0][bytes[i]];
    }
    float sum = 0;
    for (size_t v = 0; v < 256; ++v) {
      sum +=
          weight_[static_cast<size_t>(counts[0][v] + counts[1][v] + counts[2][v] + counts[3][v])];
    }
    return weight_.back() - sum;
  }

 private:
  std::vector<float> weight_;
  int row_;
};

}  // namespace

void append_be32(QByteArray* out, quint32 value) {
  const char bytes[] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                        static_cast<char>(value >> 8), static_cast<char>(value)};
  out->append(bytes, 4);
}

void append_be16(QByteArray* out, quint16 value) {
  const char bytes[] = {static_cast<char>(value >> 8), static_cast<char>(value)};
  out->append(bytes, 2);
}

void append_png_chunk(QByteArray* png, const char* type, const QByteArray& data) {
  append_be32(png, static_cast<quint32>(data.size()));
  const qsizetype start = png->size();
  png->append(type, 4);
  png->append(data);
  const quint32 crc =
      libdeflate_crc32(0, png->constData() + start, static_cast<size_t>(4 + data.size()));
  append_be32(png, crc);
}

QByteArray png_header(int width, int height, int bit_depth, int colour_type) {
  QByteArray data;
  append_be32(&data, static_cast<quint32>(width));
  append_be32(&data, static_cast<quint32>(height));
  const char rest[] = {static_cast<char>(bit_depth), static_cast<char>(colour_type), 0, 0, 0};
  data.append(rest, 5);
  return data;
}

QByteArray filter_rows(const uchar* rows, qsizetype stride, int row_bytes, int height,
                       int bytes_per_pixel, RowFilter filter) {
  const auto n = static_cast<size_t>(row_bytes);
  QByteArray out(static_cast<qsizetype>((n + 1) * static_cast<size_t>(height)), Qt::Uninitialized);
  auto* dest = reinterpret_cast<uchar*>(out.data());
  const std::vector<uchar> zeros(n, 0);
  if (filter == RowFilter::kNone) {
    for (int y = 0; y < height; ++y) {
      *dest++ = kNone;
      std::memcpy(dest, rows + y * stride, n);
      dest += n;
    }
    return out;
  }
  std::vector<uchar> candidates(n * kFilterCount);
  const auto candidate = [&](int f, const uchar* cur, const uchar* prev) {
    uchar* out_row = candidates.data() + n * static_cast<size_t>(f);
    filter_row(static_cast<Filter>(f), cur, prev, row_bytes, bytes_per_pixel, out_row);
    return out_row;
  };
  // libpng's rule: every filter, the one whose bytes taken as signed sum
  // smallest in size.
  const auto least_sum = [&](const uchar* cur, const uchar* prev) {
    int best = kNone;
    std::uint64_t best_sum = ~std::uint64_t{0};
    for (int f = kNone; f < kFilterCount; ++f) {
      const uchar* bytes = candidate(f, cur, prev);
      std::uint64_t sum = 0;
      for (size_t i = 0; i < n; ++i) {
        sum += bytes[i] < 128 ? bytes[i] : 256 - bytes[i];
      }
      if (sum < best_sum) {
        best = f;
        best_sum = sum;
      }
    }
    return best;
  };
  // Sub keeps a run of pixels that recurs further on the same bytes, which
  // deflate then finds as a match: it stays unless up or Paeth saves more
  // than 6% of the row's entropy (on dithered drawings they win on entropy
  // by a little and lose on the compressed size). None and average rarely
  // win on any frame measured and are not tried.
  const EntropyEstimate entropy(row_bytes);
  const auto least_entropy = [&](const uchar* cur, const uchar* prev) {
    int best = kSub;
    float best_bits = entropy.bits(candidate(kSub, cur, prev)) / 1.06f;
    for (int f : {kUp, kPaeth}) {
      const float bits = entropy.bits(candidate(f, cur, prev));
      if (bits < best_bits) {
        best = f;
        best_bits = bits;
      }
    }
    return best;
  };
  for (int y = 0; y < height; ++y) {
    const uchar* cur = rows + y * stride;
    const uchar* prev = y > 0 ? cur - stride : zeros.data();
    const int best =
        filter == RowFilter::kLeastSum ? least_sum(cur, prev) : least_entropy(cur, prev);
    *dest++ = static_cast<uchar>(best);
    std::memcpy(dest, candidates.data() + n * static_cast<size_t>(best), n);
    dest += n;
  }
  return out;
}

QByteArray zlib_compress(const QByteArray& data, int level) {
  const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
      libdeflate_alloc_compressor(level), &libdeflate_free_compressor);
  if (compressor == nullptr) {
    return {};
  }
  const size_t bound =
      libdeflate_zlib_compress_bound(compressor.get(), static_cast<size_t>(data.size()));
  QByteArray out(static_cast<qsizetype>(bound), Qt::Uninitialized);
  const size_t size = libdeflate_zlib_compress(compressor.get(), data.constData(),
                                               static_cast<size_t>(data.size()), out.data(), bound);
  out.truncate(static_cast<qsizetype>(size));
  return out;
}

QByteArray zlib_compress_runs(const QByteArray& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, MAX_WBITS, MAX_MEM_LEVEL, Z_RLE) !=
      Z_OK) {
    return {};
  }
  QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size()))),
                 Qt::Uninitialized);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
  out.truncate(done ? static_cast<qsizetype>(stream.total_out) : 0);
  deflateEnd(&stream);
  return out;
}

}  // namespace tamrisk
