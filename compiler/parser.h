#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vessik {

// Most tokens on one line, the chunk name included.
inline constexpr std::size_t PARAM_MAX = 1024;

// Reads a number token: optional sign, then 0x/0X hexadecimal, leading-0
// octal or decimal digits, stopping at the first byte that is no digit of the
// base. Too large gives 0xFFFFFFFF; '-' negates modulo 2^32.
std::uint32_t ParseNumber(std::string_view token);

// Walks a script held whole in memory and cuts each line into tokens, which
// are spans of the buffer. A line ends at LF, CR LF or a lone CR.
class CParser {
 public:
  CParser() = default;
  CParser(const CParser&) = delete;
  CParser& operator=(const CParser&) = delete;

  // Reads the whole file; false (with a message) when it cannot.
  bool Load(const std::string& path);
  // Takes script text from memory instead of a file.
  void SetText(std::string_view text);

  // Makes the next line current and tokenizes it, or sets the end flag when no
  // line is left. false only when the line holds more than PARAM_MAX tokens.
  bool ReadLine();
  // Exposes the first line as token 0 without moving the read position.
  bool PeekFirstLine();

  bool AtEnd() const { return end_; }
  std::size_t TokenCount() const { return token_count_; }
  std::string_view Token(std::size_t i) const {
    return {reinterpret_cast<const char*>(buffer_.data()) + token_start_[i], token_length_[i]};
  }
  std::size_t Size() const { return size_; }
  const std::string& Message() const { return message_; }

 private:
  std::size_t FindLineEnd(std::size_t start);
  bool Tokenize();

  std::vector<std::uint8_t> buffer_;  // the script and one spare byte
  std::size_t position_ = 0;          // first byte of the next line
  std::size_t size_ = 0;
  std::size_t line_start_ = 0;
  std::size_t line_length_ = 0;
  // The first LF at or after lf_from_ (size_ when there is none), once known.
  bool lf_known_ = false;
  std::size_t lf_from_ = 0;
  std::size_t lf_at_ = 0;
  bool end_ = false;
  std::array<std::size_t, PARAM_MAX> token_start_{};
  std::array<std::size_t, PARAM_MAX> token_length_{};
  std::size_t token_count_ = 0;
  std::string message_;
};

}  // namespace vessik
