// rgb_compare A B [FRAME_BYTES]: compares two files of raw 8-bit RGB pixels
// (ImageMagick's "rgb:" output, frames one after the other) of the same size.
// Prints the PSNR over every byte of both files, that is over all frames'
// red, green and blue channels together:
//   MSE = (sum of (a - b)^2 over every pixel and channel) / (number of bytes)
//   PSNR = 10 log10(255^2 / MSE) dB, "inf" when the files are equal,
// then, given FRAME_BYTES (width x height x 3), how many frames differ and
// the first of them. Exit status 2 for unreadable files or unequal sizes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: rgb_compare A.rgb B.rgb [FRAME_BYTES]\n");
    return 2;
  }
  // Read frame by frame, so that pipes and files larger than memory do.
  std::ifstream a(argv[1], std::ios::binary);
  std::ifstream b(argv[2], std::ios::binary);
  if (!a || !b) {
    std::fprintf(stderr, "rgb_compare: cannot read %s or %s\n", argv[1], argv[2]);
    return 2;
  }
  const std::size_t frame = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 1 << 20;
  if (frame == 0) {
    std::fprintf(stderr, "rgb_compare: no frame size\n");
    return 2;
  }
  std::vector<char> block_a(frame);
  std::vector<char> block_b(frame);
  std::uint64_t squares = 0;
  std::uint64_t bytes = 0;
  std::size_t frames = 0;
  std::size_t differing = 0;
  long first = -1;
  for (;;) {
    a.read(block_a.data(), static_cast<std::streamsize>(frame));
    b.read(block_b.data(), static_cast<std::streamsize>(frame));
    const auto got_a = static_cast<std::size_t>(a.gcount());
    const auto got_b = static_cast<std::size_t>(b.gcount());
    if (got_a != got_b || (argc == 4 && got_a != 0 && got_a != frame)) {
      std::fprintf(stderr, "rgb_compare: the inputs differ in size or hold a part of a frame\n");
      return 2;
    }
    if (got_a == 0) {
      break;
    }
    std::uint64_t frame_squares = 0;
    for (std::size_t i = 0; i < got_a; ++i) {
      const int d = static_cast<unsigned char>(block_a[i]) - static_cast<unsigned char>(block_b[i]);
      frame_squares += static_cast<std::uint64_t>(d * d);
    }
    if (frame_squares != 0) {
      ++differing;
      if (first < 0) {
        first = static_cast<long>(frames);
      }
    }
    squares += frame_squares;
    bytes += got_a;
    ++frames;
  }
  if (bytes == 0) {
    std::fprintf(stderr, "rgb_compare: empty inputs\n");
    return 2;
  }
  const double mse = static_cast<double>(squares) / static_cast<double>(bytes);
  if (squares == 0) {
    std::printf("inf");
  } else {
    std::printf("%.2f", 10 * std::log10(255.0 * 255.0 / mse));
  }
  if (argc == 4) {
    std::printf(" %zu %zu %ld", differing, frames, first);
  }
  std::printf("\n");
  return 0;
}
