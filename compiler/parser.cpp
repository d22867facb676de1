#include "parser.h"

#include <cstring>

#include "file_io.h"
#include "messages.h"

namespace vessik {
namespace {

constexpr std::uint8_t kCR = 0x0D;
constexpr std::uint8_t kLF = 0x0A;

inline bool IsBlank(std::uint8_t c) {
  return c == ' ' || c == '\t';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'Z') {
    return c - 'A' + 10;
  }
  return 99;
}

}  // namespace

std::uint32_t ParseNumber(std::string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i + 1 < token.size() && token[i] == '0' && (token[i + 1] == 'x' || token[i + 1] == 'X') &&
      i + 2 < token.size() && DigitValue(token[i + 2]) < 16) {
    base = 16;
    i += 2;
  } else if (i < token.size() && token[i] == '0') {
    base = 8;
  }
  std::uint64_t value = 0;
  bool overflow = false;
  for (; i < token.size(); ++i) {
    const int d = DigitValue(token[i]);
    if (d >= static_cast<int>(base)) {
      break;
    }
    if (!overflow) {
      value = value * base + static_cast<unsigned>(d);
      overflow = value > 0xFFFFFFFFu;
    }
  }
  if (overflow) {
    return 0xFFFFFFFFu;
  }
  const auto v = static_cast<std::uint32_t>(value);
  return negative ? static_cast<std::uint32_t>(0u - v) : v;
}

bool CParser::Load(const std::string& path) {
  switch (io::ReadWholeFile(path, buffer_, 1)) {
    case io::ReadStatus::kOk:
      break;
    case io::ReadStatus::kNoMemory:
      message_ = msg::kFileBuffer;
      return false;
    default:
      message_ = msg::kFileRead;
      return false;
  }
  size_ = buffer_.size() - 1;
  position_ = 0;
  lf_known_ = false;
  end_ = false;
  token_count_ = 0;
  return true;
}

void CParser::SetText(std::string_view text) {
  buffer_.assign(text.begin(), text.end());
  buffer_.push_back(0);
  size_ = text.size();
  position_ = 0;
  lf_known_ = false;
  end_ = false;
  token_count_ = 0;
}

std::size_t CParser::FindLineEnd(std::size_t start) {
  const std::uint8_t* data = buffer_.data();
  // memchr for the common case; a CR before the LF ends the line earlier.
  // The LF found serves every line before it: searching again from each line
  // would go to the end of a script whose lines end in CR alone, once a line.
  if (!lf_known_ || start < lf_from_ || start > lf_at_) {
    const void* lf = std::memchr(data + start, kLF, size_ - start);
    lf_at_ = lf ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(lf) - data) : size_;
    lf_from_ = start;
    lf_known_ = true;
  }
  const std::size_t limit = lf_at_;
  const void* cr = std::memchr(data + start, kCR, limit - start);
  if (cr == nullptr) {
    return limit;
  }
  const auto at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(cr) - data);
  return (at + 1 < size_ && data[at + 1] == kLF) ? at + 1 : at;
}

bool CParser::ReadLine() {
  if (position_ >= size_) {
    end_ = true;
    return true;
  }
  end_ = false;
  line_start_ = position_;
  const std::size_t e = FindLineEnd(position_);
  line_length_ = e - position_;
  position_ = e + 1;
  return Tokenize();
}

bool CParser::Tokenize() {
  token_count_ = 0;
  const std::uint8_t* line = buffer_.data() + line_start_;
  std::size_t pos = 0;
  for (;;) {
    // Skip blanks; a '#', CR or LF ends the tokens of this line.
    while (pos < line_length_ && IsBlank(line[pos])) {
      ++pos;
    }
    if (pos >= line_length_ || line[pos] == '#' || line[pos] == kCR || line[pos] == kLF) {
      return true;
    }
    if (token_count_ == PARAM_MAX) {
      message_ = msg::kTooManyTokens;
      return false;
    }
    std::size_t e = pos;
    while (e < line_length_ && !IsBlank(line[e]) && line[e] != kCR && line[e] != kLF) {
      ++e;
    }
    token_start_[token_count_] = line_start_ + pos;
    token_length_[token_count_] = e - pos;
    ++token_count_;
    if (e >= line_length_) {
      return true;
    }
    pos = e;
  }
}

bool CParser::PeekFirstLine() {
  if (position_ >= size_) {
    return false;
  }
  token_start_[0] = 0;
  token_length_[0] = FindLineEnd(0);
  return true;
}

}  // namespace vessik
